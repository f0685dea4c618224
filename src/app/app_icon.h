// The application icon, drawn once: a key-coloured tile with the letters KW.
#pragma once

#include <QIcon>
#include <QPixmap>

// AppIcon is the icon in the sizes a window and a task bar use; AppIconPixmap one size of it
// (`keywright --icon PATH` writes the 256-pixel one that the desktop entry installs).
QIcon AppIcon();
QPixmap AppIconPixmap(int size);
