// The folder chooser: a drive list and a folder list, the chosen path in an
// edit field, OK and Cancel.
#include "Choose_folder.h"

#include "Dialogs.h"
#include "Folders.h"
#include "Main2.h"

TChooseFolder_Form *ChooseFolder_Form = nullptr;

TChooseFolder_Form::TChooseFolder_Form(TComponent *Owner)
    : TForm(Owner, &staticMetaObject, ":/installer/Choose_folder.dfm") {}

void TChooseFolder_Form::FormShow(TObject *) { ApplyLanguage(); }

void TChooseFolder_Form::ApplyLanguage()
{
    SetLabelsCharset(this, Form2->TextCharset());
    Label2->SetCaption(Form2->GetLangText(82));
    Label1->SetCaption(Form2->GetLangText(83));
    Label3->SetCaption(Form2->GetLangText(84));
}

void TChooseFolder_Form::DirectoryListBox1Change(TObject *) { EPath->SetText(DirectoryListBox1->Directory()); }

void TChooseFolder_Form::BOkClick(TObject *)
{
    if (DirectoryExists(EPath->Text())) {
        Close();
        return;
    }
    if (Form2->LangMessageDlg(33, mtConfirmation, TMsgDlgButtons() << mbYes << mbNo) != mrYes)
        return;
    if (CreateDirTree(EPath->Text())) {
        Close();
        return;
    }
    Form2->LangMessageDlg(34, mtError, TMsgDlgButtons() << mbAbort);
}

void TChooseFolder_Form::BCancelClick(TObject *)
{
    EPath->SetText("");
    Close();
}
