#include "Detached.h"

#include "LitraError.h"

#include <QtGlobal>

#include <exception>

void reportUnexpected() {
    qWarning("Glowdeck: %s", qPrintable(localizedDescription(std::current_exception())));
}
