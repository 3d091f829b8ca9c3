// Reads any bytes as the form resource of a fresh form (class TForm): the
// text parser, then the components made and their properties set. A bad
// resource raises EReadError; nothing else may come out of it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "Exceptions.h"
#include "Form.h"
#include "FormReader.h"
#include "TempMachineRoot.h"

namespace {

// Qt offscreen, and a machine root of the target's own for the code page.
bool Prepare()
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static testsupport::TempMachineRoot root("form-text-fuzz");
    return root.Made() && testsupport::WriteUiLanguage("1033");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const bool ready = Prepare();
    if (!ready)
        std::abort();
    auto *form = new TForm(nullptr);
    try {
        ReadFormText(form, &TForm::staticMetaObject, std::string(reinterpret_cast<const char *>(data), size),
                     "Fuzz.dfm");
    } catch (const EReadError &) {
    }
    form->Free();
    return 0;
}
