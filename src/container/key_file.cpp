#include "container/key_file.h"

#include "container/container_format.h"
#include "container/stream_primitives.h"
#include "crypto/key_forms.h"
#include "textutil/codepage.h"

namespace qv {

std::unique_ptr<TQVOFileSetObject> BuildKeyFile(std::string_view email, std::string_view password,
                                                std::string_view owner) {
    auto writer = std::make_unique<TQVOFileSetObject>();
    writer->FData = std::make_unique<MemoryStream>();
    WriteSizedText(*writer->FData, DigestTextHex(password));
    writer->FPassword = std::string(kBuiltInKeyText);
    writer->FExt = ".QVK";
    writer->FParams = std::make_unique<ParamList>();
    ParamList& params = *writer->FParams;
    params.add(
        "QVONAME=\x9A"
        "ifrovac\xED kl\xED\xE8");  // "šifrovací klíč" in code page 1250
    params.add("QVOOWNER=" + std::string(owner));
    params.add("QVOOPOZN=" + std::string(email));
    params.add("QVOOPCNT=0");
    params.add("QVOFROM=" + std::string(owner));
    return writer;
}

std::string ProposedKeyFileName(std::string_view email, std::string_view owner) {
    const std::string upper = UpperCp1250(std::string(email) + std::string(owner));
    return DigestTextHex(upper).substr(0, 8);
}

}  // namespace qv
