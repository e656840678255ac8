#pragma once

#include <cstdio>
#include <memory>

// Sole owner of a C stream; closing through the owner ignores the result, so code that cares
// about a failed close calls std::fclose(release()) itself.
struct StdioFileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using StdioFile = std::unique_ptr<std::FILE, StdioFileCloser>;
