#pragma once

#include <string_view>
#include <vector>

namespace Blinkwit {

// `blinkwit image assess FILE` checks an update image's structure and signature and prints its
// signer; `blinkwit image unpack FILE DIR` does the same checks, then extracts the bundle safely
// into DIR (missing or empty). Both need no display.
class ImageCommand {
public:
    ImageCommand() = delete;

    // arguments: everything after "image". Exit status: 0 done, 1 rejected, 2 usage.
    static int run(const std::vector<std::string_view>& arguments);
};

} // namespace Blinkwit
