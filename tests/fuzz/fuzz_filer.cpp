// The binary filer: a damaged block of stored property data is read into an object that defines
// entries of every value form. A damaged entry ends the reading silently or raises EReadError.

#include "FuzzSupport.h"
#include "platform/classes/Filer.h"
#include "platform/classes/Persistent.h"
#include "platform/classes/Streams.h"
#include "platform/rtl/Exceptions.h"

namespace {
class TFuzzHolder : public TPersistent {
    KAROMIL_CLASS(TFuzzHolder, TPersistent)
public:
    std::vector<std::string> Items;
    int32_t Count = 0;
    int64_t Big = 0;
    std::string Name, Picture;

protected:
    void DefineProperties(TFiler* filer) override {
        filer->DefineProperty(
            "Items",
            [this](TReader* r) {
                r->ReadListBegin();
                while (!r->EndOfList()) Items.push_back(r->ReadString());
                r->ReadListEnd();
            },
            nullptr, false);
        filer->DefineProperty(
            "Count", [this](TReader* r) { Count = r->ReadInteger(); }, nullptr, false);
        filer->DefineProperty(
            "Big", [this](TReader* r) { Big = r->ReadInt64(); }, nullptr, false);
        filer->DefineProperty(
            "Name", [this](TReader* r) { Name = r->ReadString(); }, nullptr, false);
        filer->DefineBinaryProperty(
            "Picture",
            [this](TStream* s) {
                Picture.assign(size_t(s->Size()), '\0');
                s->ReadBuffer(Picture.data(), s->Size());
            },
            nullptr, false);
    }
};
}  // namespace

KAROMIL_IMPLEMENT_CLASS(TFuzzHolder, TPersistent)

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TStringStream stream(FuzzText(data, size));
    TFuzzHolder holder;
    TReader reader(&stream);
    try {
        reader.ReadProperties(&holder);
    } catch (const Exception&) {
        // EReadError on damaged data is the documented answer.
    }
    return 0;
}
