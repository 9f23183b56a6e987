#pragma once

#include <QIcon>
#include <QObject>
#include <QPixmap>

namespace koro {

void initImageResources();

// The main window's 16 shared pictures of 16 x 16: 0 a page, 1 a folder, 2 Baidu, 7 TaoBao,
// 8 to 15 the video sites.
class ImageList : public QObject {
    Q_OBJECT
public:
    static constexpr int Count = 16;
    static constexpr int Size = 16;
    // The pictures others ask for by number; the search engine's number also names the engine.
    enum Picture : int { Page = 0, Folder = 1, Baidu = 2, TaoBao = 7 };

    explicit ImageList(QObject* parent = nullptr);

    // A null pixmap for an index outside the list.
    QPixmap pixmap(int index) const;
    QIcon icon(int index) const { return QIcon(pixmap(index)); }
};

} // namespace koro
