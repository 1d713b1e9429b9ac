#include "platform/ProgramIcon.h"

#include <QIconEngine>
#include <QPainter>
#include <QPixmap>
#include <algorithm>
#include <array>

namespace {

constexpr std::array kSizes{16, 24, 32, 48, 64, 128, 256};

// The icon's pictures, each read from the program's resources the first time a window asks for
// its size. X asks for every size as a window is made; a window system that asks only for what it
// shows (a title bar, a task bar) never has the others decoded.
class ProgramIconEngine : public QIconEngine {
public:
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        QPixmap picture = pictureFor(size);
        if (picture.width() > size.width() || picture.height() > size.height())
            picture = picture.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        // Disabled and selected looks come from the style, as for any other icon.
        return mode == QIcon::Normal ? picture : QIcon(picture).pixmap(picture.size(), mode, state);
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        QPixmap picture = pixmap(rect.size() * ratio, mode, state);
        picture.setDevicePixelRatio(ratio);
        const QSize shown = picture.deviceIndependentSize().toSize();
        painter->drawPixmap(QRect(rect.topLeft() + QPoint((rect.width() - shown.width()) / 2,
                                                          (rect.height() - shown.height()) / 2),
                                  shown),
                            picture);
    }

    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override {
        const int side = sizeFor(size);
        return QSize(side, side).boundedTo(size);
    }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
        QList<QSize> sizes;
        for (const int side : kSizes)
            sizes << QSize(side, side);
        return sizes;
    }

    QIconEngine* clone() const override { return new ProgramIconEngine(*this); }
    QString key() const override { return QStringLiteral("ProgramIconEngine"); }
    bool isNull() override { return false; }

private:
    // The smallest picture that covers `size`, else the largest.
    static int sizeFor(const QSize& size) {
        for (const int side : kSizes)
            if (side >= size.width() && side >= size.height())
                return side;
        return kSizes.back();
    }

    QPixmap pictureFor(const QSize& size) {
        const int side = sizeFor(size);
        const size_t index = size_t(std::find(kSizes.begin(), kSizes.end(), side) - kSizes.begin());
        Q_ASSERT(index < kSizes.size());
        QPixmap& picture = m_pictures[index];
        if (picture.isNull())
            picture = QPixmap(QStringLiteral(":/icons/quillora-%1.png").arg(side));
        return picture;
    }

    std::array<QPixmap, kSizes.size()> m_pictures;
};

} // namespace

QIcon ProgramIcon() {
    // One icon for the whole program: the application, the main window and every document window
    // show it, and share the pictures read. Kept to the end (never destroyed), as pictures outlive
    // no application.
    static const QIcon* const icon = new QIcon(new ProgramIconEngine);
    return *icon;
}
