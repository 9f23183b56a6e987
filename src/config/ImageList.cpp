#include "config/ImageList.h"

#include <QIcon>

// Q_INIT_RESOURCE cannot stand inside a namespace.
static void initImagesQrc() {
    Q_INIT_RESOURCE(images);
}

namespace koro {

void initImageResources() {
    // The pictures live in a static library: register them before the first layout uses them.
    static const bool once = (initImagesQrc(), true);
    (void)once;
}

ImageList::ImageList(QObject* parent)
    : QObject(parent) {
    setObjectName("ImageList1");
}

QPixmap ImageList::pixmap(int index) const {
    if (index < 0 || index >= Count)
        return {};
    const QString path = QString(":/images/imagelist/%1.svg").arg(index, 2, 10, QChar('0'));
    return QIcon(path).pixmap(Size, Size);
}

} // namespace koro
