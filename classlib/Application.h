// TApplication: the class library's application object, and the global
// `Application` that programs use as the class library's programs do:
//
//   int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
//   {
//       try {
//           Application->Initialize();
//           Application->CreateForm(&MainForm);
//           Application->CreateForm(&DebugForm);
//           Application->Run();
//       } catch (Exception &exception) {
//           Application->ShowException(&exception);
//       } catch (...) {
//           Exception empty("");
//           Application->ShowException(&empty);
//       }
//       return 0;
//   }
//
// CreateForm constructs the form with the application as owner, stores it
// in the given pointer, then runs its AfterConstruction (OnCreate, then the
// form shows when its resource makes it visible). The first form made is
// the main form: Run shows it and handles events until it closes or
// Terminate is called. Forms belong to the application and are destroyed
// with it. Everything here runs on the GUI thread.
#pragma once

#include <QPointer>

#include "Component.h"
#include "Exceptions.h"

class QEventLoop;
class TForm;

class TApplication : public TComponent {
    Q_OBJECT
public:
    explicit TApplication(TComponent *AOwner = nullptr);
    ~TApplication() override;

    // Makes the Qt application (high-DPI scaling off, 96 dpi) and registers
    // the class library's component classes.
    void Initialize();

    template <class T>
    void CreateForm(T **Reference)
    {
        *Reference = nullptr;
        T *form = new T(this);
        *Reference = form;
        FormCreated(form);
    }

    // Shows the main form, then handles events until Terminated().
    void Run();
    // Ends Run (and any modal form's loop).
    void Terminate();
    bool Terminated() const { return FTerminated; }
    // Handles the events that are waiting, then returns.
    void ProcessMessages();

    TForm *MainForm() const;

    // The caption of plain message boxes and the program's name on the task
    // bar: by default the program's file name without its extension.
    AnsiString Title() const;
    void SetTitle(const AnsiString &Title);

    // The standard exception box: the exception's message (with a full stop
    // added when it ends in a letter or digit) under the application's title,
    // an error icon and OK.
    void ShowException(const Exception *E);
    // Shows the exception being handled, from inside a catch block; one that
    // is not an Exception is shown by its what() text, or empty.
    void HandleException(TObject *Sender);

private:
    void FormCreated(TComponent *form);

    QPointer<TForm> FMainForm;
    QEventLoop *FLoop = nullptr;
    bool FTerminated = false;
};

// The program's application object, made on first use.
class TApplicationPointer {
public:
    constexpr TApplicationPointer() = default;
    TApplication *operator->() const { return Get(); }
    operator TApplication *() const { return Get(); }
    TApplication *Get() const;
    // Destroys the application object with its forms (each runs OnDestroy);
    // the next use makes a new one. For tests.
    void Reset();
};

extern TApplicationPointer Application;
