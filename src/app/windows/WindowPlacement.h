#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>

#include <optional>

namespace placement {

// How much of a window's top strip, where its title bar is, must lie on one screen for the
// user to reach it and drag it.
inline constexpr int titleStripHeight = 40;
inline constexpr int minimumReachableWidth = 100;

// Whether a window whose frame is `frame` can be seen and dragged on one of `screens`.
bool isReachable(const QRect& frame, const QList<QRect>& screens);

// The top-left corner that centres a frame of `size` on `screen`; one that does not fit is put
// at the screen's top or left edge.
QPoint centred(const QSize& size, const QRect& screen);

// Where a window with frames of `size` opens: at the saved top-left corner when it is
// reachable there, else centred on `primary`.
QPoint initialPosition(const std::optional<QRect>& saved, const QSize& size,
                       const QList<QRect>& screens, const QRect& primary);

}  // namespace placement
