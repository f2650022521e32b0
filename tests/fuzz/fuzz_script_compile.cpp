// Compiles a source text in one language (KAROMIL_FUZZ_LANGUAGE): tokenizer, grammar parser,
// intermediate program and program builder. Compile must answer true or false with a message,
// never crash, hang or throw.

#include "FuzzSupport.h"
#include "script/Interpreter.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    script::Startup();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TfsScript s;
    s.Parent = fsGlobalUnit();
    s.SetSyntaxType(KAROMIL_FUZZ_LANGUAGE);
    // Units named in a uses clause are served empty: the harness reads no files.
    s.OnGetUnit = [](TfsScript*, const std::string&, std::string& text) { text = "\n"; };
    s.GetLines()->SetText(FuzzText(data, size));
    s.Compile();
    return 0;
}
