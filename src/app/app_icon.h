// The application icon, drawn once: a key-coloured tile with the letters KW.
#pragma once

#include <QIcon>

QIcon AppIcon();
