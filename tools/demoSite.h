#pragma once
// The demo world's pages served on 127.0.0.1 at the racing authority's paths (demoWorldPages.h).
#include "tools/demoWorldPages.h"

#include <QHash>
#include <QTcpServer>

class QTcpSocket;

// Answers each connection once its request head has come in.
class DemoSite : public QObject {
public:
    explicit DemoSite(const VbDate& today);
    bool listen(quint16 port);
    quint16 port() const { return server_.serverPort(); }
    QString errorString() const { return server_.errorString(); }
    const DemoWorld& world() const { return world_; }
    // The whole HTTP answer to a request target.
    QByteArray response(const QByteArray& target) const;

private:
    void accept();
    void answer(QTcpSocket* socket);

    DemoWorld world_;
    QHash<QByteArray, QByteArray> pages_;
    QByteArray missing_;
    QHash<QTcpSocket*, QByteArray> requests_;
    QTcpServer server_;
};
