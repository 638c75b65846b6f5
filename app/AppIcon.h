#pragma once

#include <QIcon>

// The window icon: a database drum with the orange no-entry mark, drawn at the sizes asked for.
QIcon applicationIcon();
