#pragma once

// Marks a text for the window's catalogue without bringing Qt into the logic libraries: the
// definitions are Qt's own, so code that also includes Qt sees no conflict.
#ifndef QT_TRANSLATE_NOOP
#define QT_TRANSLATE_NOOP(scope, x) x
#endif
#ifndef QT_TRANSLATE_N_NOOP
#define QT_TRANSLATE_N_NOOP(scope, x) x
#endif
