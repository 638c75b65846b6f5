#pragma once

#include "frame/RunOptions.h"

// The tests' usual run: for real, without the safety copy, which has tests of its own.
inline const RunOptions kRealNoCopy{RunMode::Real, SafetyCopy::Skip};
