#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "container/container_writer.h"

namespace qv {

// The owner that a confirmed new-password question returns (code page 1250).
inline constexpr std::string_view kUnknownOwner = "NEZAD\xC1NO_NEZAD\xC1NO";

// A writer set up to produce a key file: the payload holds the password's
// digest as a sized text, the parameters name the owner and the e-mail, and
// the payload is sealed with the built-in key. Texts are code page 1250; the
// caller sets FOutputFileName (or FOutput) and calls WriteContainer().
std::unique_ptr<TQVOFileSetObject> BuildKeyFile(std::string_view email, std::string_view password,
                                                std::string_view owner);

// The proposed key-file name without its extension: the first 8 digits of
// the digest of e-mail and owner, upper-cased by the code page's rules.
std::string ProposedKeyFileName(std::string_view email, std::string_view owner);

}  // namespace qv
