#pragma once

#include <QPixmap>

// The pictures of the splash and the About box, painted here so that the program carries no image files.
namespace ShellPictures {

// A clear sky over a lake with a sailing boat.
QPixmap splashPicture(const QSize& size = QSize(360, 190));
// The product line's emblem: a sail under the sun on a blue tile.
QPixmap logo(int side = 48);
// A thin band of the lake scene, drawn across the About box.
QPixmap banner(const QSize& size = QSize(320, 64));

} // namespace ShellPictures
