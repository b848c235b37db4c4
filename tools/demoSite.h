#pragma once
// The demo's race day served on 127.0.0.1 at the racing authority's paths (tools/demoPages.h).
#include "tools/demoPages.h"

#include <QHash>
#include <QTcpServer>

class QTcpSocket;

// Answers each connection once its request head has come in.
class DemoSite : public QObject {
public:
    explicit DemoSite(const DemoRace& race);
    bool listen(quint16 port);
    quint16 port() const { return server_.serverPort(); }
    QString errorString() const { return server_.errorString(); }

private:
    void accept();
    void answer(QTcpSocket* socket);

    QHash<QByteArray, QByteArray> pages_;
    QHash<QTcpSocket*, QByteArray> requests_;
    QTcpServer server_;
};
