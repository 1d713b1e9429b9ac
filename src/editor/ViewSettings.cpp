#include "editor/ViewSettings.h"

#include <QFontDatabase>
#include <algorithm>

QFont DocumentFont(const Settings& settings) {
    int size = settings.FontSize;
    QFont font;
    if (QFontDatabase::hasFamily(settings.Font)) {
        font = QFont(settings.Font);
    } else {
        font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        if (size < 8)
            size = 10;
    }
    font.setPointSize(std::clamp(size + settings.Zoom, 1, 400));
    return font;
}
