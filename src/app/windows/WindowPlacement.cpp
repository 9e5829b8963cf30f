#include "WindowPlacement.h"

#include <algorithm>

namespace placement {

bool isReachable(const QRect& frame, const QList<QRect>& screens) {
    if (!frame.isValid()) {
        return false;
    }
    const QRect strip(frame.topLeft(),
                      QSize(frame.width(), std::min(frame.height(), titleStripHeight)));
    const int neededWidth = std::min(frame.width(), minimumReachableWidth);
    return std::any_of(screens.begin(), screens.end(), [&](const QRect& screen) {
        const QRect visible = strip & screen;
        return visible.width() >= neededWidth && visible.height() == strip.height();
    });
}

QPoint centred(const QSize& size, const QRect& screen) {
    // A window larger than the screen keeps its top-left corner, and so its title bar, on it.
    return {std::max(screen.x(), screen.x() + (screen.width() - size.width()) / 2),
            std::max(screen.y(), screen.y() + (screen.height() - size.height()) / 2)};
}

QPoint initialPosition(const std::optional<QRect>& saved, const QSize& size,
                       const QList<QRect>& screens, const QRect& primary) {
    if (saved && isReachable(QRect(saved->topLeft(), size), screens)) {
        return saved->topLeft();
    }
    return centred(size, primary);
}

}  // namespace placement
