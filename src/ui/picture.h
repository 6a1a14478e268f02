#pragma once
// Pictures the windows show (the launcher's logo, the message window's picture) come
// through the game's own loader: a regular file only, its header checked before any
// decoder sees it, exactly as the textures do.
#include <QPixmap>
#include <string>

namespace ui {

// The picture of a game file; a null pixmap when it is missing or refused.
QPixmap LoadPicture(const std::string& path);

}  // namespace ui
