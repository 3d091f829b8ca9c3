// Registers the class library's own components and the property types of
// form resources.
#include <mutex>

#include "ClassRegistry.h"
#include "DirectoryListBox.h"
#include "DriveComboBox.h"
#include "Events.h"
#include "Form.h"
#include "Bevel.h"
#include "BitBtn.h"
#include "Button.h"
#include "Edit.h"
#include "Image.h"
#include "Label.h"
#include "Memo.h"
#include "Panel.h"
#include "ProgressBar.h"
#include "Timer.h"

void RegisterStandardClasses()
{
    static std::once_flag once;
    std::call_once(once, [] {
        RegisterSetType<TFontStyle>();
        RegisterSetType<TShiftStateItem>();
        RegisterSetType<TBorderIcon>();

        RegisterEventType<TObject *>({"TObject*"});
        RegisterEventType<TObject *, TMouseButton, TShiftState, int, int>(
            {"TObject*", "TMouseButton", "TShiftState", "int", "int"});
        RegisterEventType<TObject *, TShiftState, int, int>({"TObject*", "TShiftState", "int", "int"});
        RegisterEventType<TObject *, TCloseAction &>({"TObject*", "TCloseAction&"});
        RegisterEventType<TObject *, bool &>({"TObject*", "bool&"});

        RegisterNumericEnum(QMetaType::fromType<TColor>());
        RegisterNumericEnum(QMetaType::fromType<TCursor>());
        RegisterNumericEnum(QMetaType::fromType<TFontCharset>());

        RegisterClass<TForm>();
        RegisterClass<TLabel>();
        RegisterClass<TPanel>();
        RegisterClass<TBevel>();
        RegisterClass<TButton>();
        RegisterClass<TBitBtn>();
        RegisterClass<TEdit>();
        RegisterClass<TMemo>();
        RegisterClass<TProgressBar>();
        RegisterClass<TTimer>();
        RegisterClass<TImage>();
        RegisterClass<TDriveComboBox>();
        RegisterClass<TDirectoryListBox>();
    });
}
