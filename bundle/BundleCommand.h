#pragma once

#include <string_view>
#include <vector>

namespace Blinkwit {

// `blinkwit bundle verify DIR` checks a bundle against its code signature; `blinkwit bundle
// describe DIR` prints its identity as KEY=VALUE lines (Identifier, TeamIdentifier — the signer
// ID of the key Info.json names —, Version, Build, Commit), leaving out what Info.json lacks.
// Both need no display.
class BundleCommand {
public:
    BundleCommand() = delete;

    // arguments: everything after "bundle". Exit status: 0 done, 1 invalid or unreadable, 2 usage.
    static int run(const std::vector<std::string_view>& arguments);
};

} // namespace Blinkwit
