#include "app/ImageList.h"

#include <QIcon>

namespace koro {

ImageList::ImageList(QObject* parent)
    : QObject(parent)
{
    setObjectName("ImageList1");
}

QPixmap ImageList::pixmap(int index) const
{
    if (index < 0 || index >= Count)
        return {};
    const QString path = QString(":/images/imagelist/%1.svg").arg(index, 2, 10, QChar('0'));
    return QIcon(path).pixmap(Size, Size);
}

} // namespace koro
