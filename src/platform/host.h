#pragma once
// The host-system seam: the running executable, the local clock, and creating
// and writing a file.

#include <cstddef>
#include <cstdint>

#include "foundation/date_time.h"
#include "foundation/text.h"
#include "platform/seam.h"

namespace kestrova::platform {

using FileHandle = intptr_t;
inline constexpr FileHandle INVALID_FILE = -1;

class Host {
public:
    static constexpr const char* seamName = "host system";
    virtual ~Host() = default;

    // The running executable's full path in the ANSI code page, with the
    // platform's own separators.
    virtual Text executablePath() = 0;
    // The local date and time now, to the whole second.
    virtual DateTime localTime() = 0;
    // Creates `path` (ANSI code page), or empties it when it exists, for
    // writing only and shared with no other writer; INVALID_FILE when it
    // cannot be created or another writer holds it.
    virtual FileHandle createFileForWriting(const Text& path) = 0;
    // Writes all of `data`; false when any of it could not be written.
    virtual bool writeToFile(FileHandle file, const unsigned char* data, size_t size) = 0;
    virtual bool closeFile(FileHandle file) = 0;
};

inline Host& host() { return Installed<Host>::get(); }

}  // namespace kestrova::platform
