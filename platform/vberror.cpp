#include "platform/vberror.h"

#include "platform/msgbox.h"
#include "platform/vbarray.h"

bool debugMode = false;

VbError::VbError(int number, const QString& description)
    : std::runtime_error(QStringLiteral("%1: %2").arg(number).arg(description).toStdString())
    , number_(number)
    , description_(description)
{
}

void showTrapTag(const QString& tag)
{
    msgBox(tag, vbOKOnly);
}

void vbarray_detail::subscriptError()
{
    throw VbError(vbErrSubscript, QStringLiteral("Subscript out of range"));
}
