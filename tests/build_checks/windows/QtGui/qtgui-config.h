// SPDX-FileCopyrightText: 2026 Quorran developers
// SPDX-License-Identifier: MIT
// Stands in for Qt's own qtgui-config.h in the Windows compile check: the
// Linux build of Qt has X11 and EGL on, a Windows build has neither, so code
// that reaches for them in a Windows branch fails here as it would there.
#pragma once

#include_next <QtGui/qtgui-config.h>

#undef QT_FEATURE_xcb
#define QT_FEATURE_xcb -1
#undef QT_FEATURE_xcb_glx_plugin
#define QT_FEATURE_xcb_glx_plugin -1
#undef QT_FEATURE_egl
#define QT_FEATURE_egl -1
