#pragma once

#include <QIcon>

// The application's window icon, with a drawing for each common size so small renderings stay sharp.
QIcon quillApplicationIcon();
