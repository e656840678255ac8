#pragma once

#include <lame/lame.h>
#include <memory>

// Sole owner of a LAME encoder context.
struct LameCloser {
    void operator()(lame_global_flags* lame) const { lame_close(lame); }
};
using LameHandle = std::unique_ptr<lame_global_flags, LameCloser>;
