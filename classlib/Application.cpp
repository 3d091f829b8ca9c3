#include "Application.h"

#include <cstring>
#include <exception>
#include <string>

#include <QApplication>
#include <QEventLoop>
#include <QThread>

#include "AnsiText.h"
#include "ClassRegistry.h"
#include "Form.h"
#include "GuiApplication.h"
#include "MessageForm.h"

TApplicationPointer Application;

namespace {

TApplication *gApplication = nullptr;

} // namespace

TApplication *TApplicationPointer::Get() const
{
    if (!gApplication)
        gApplication = new TApplication;
    return gApplication;
}

void TApplicationPointer::Reset()
{
    TApplication *application = gApplication;
    gApplication = nullptr;
    if (application)
        application->Free();
}

TApplication::TApplication(TComponent *AOwner) : TComponent(AOwner) {}

TApplication::~TApplication() = default;

void TApplication::Initialize()
{
    GuiApplication();
    RegisterStandardClasses();
}

void TApplication::FormCreated(TComponent *form)
{
    form->AfterConstruction();
    auto *asForm = qobject_cast<TForm *>(form);
    if (!FMainForm && asForm)
        FMainForm = asForm;
}

TForm *TApplication::MainForm() const { return FMainForm; }

void TApplication::Run()
{
    GuiApplication();
    if (!FMainForm)
        return;
    if (!FTerminated)
        FMainForm->Show();
    QEventLoop loop;
    FLoop = &loop;
    while (!FTerminated)
        loop.exec();
    FLoop = nullptr;
}

void TApplication::Terminate()
{
    FTerminated = true;
    if (FLoop)
        FLoop->quit();
    for (int i = 0; i < ComponentCount(); ++i)
        if (auto *form = qobject_cast<TForm *>(Components(i)))
            form->EndModalLoop();
}

void TApplication::ProcessMessages()
{
    if (GuiApplication())
        QCoreApplication::processEvents(QEventLoop::AllEvents);
}

AnsiString TApplication::Title() const
{
    GuiApplication();
    return TextToAnsi(ApplicationTitle());
}

void TApplication::SetTitle(const AnsiString &Title)
{
    GuiApplication();
    QGuiApplication::setApplicationDisplayName(AnsiToText(Title));
}

void TApplication::ShowException(const Exception *E)
{
    QApplication *application = GuiApplication();
    if (!application || QThread::currentThread() != application->thread())
        return;
    std::string bytes = E ? E->Message().str() : std::string();
    bytes.resize(strnlen(bytes.c_str(), bytes.size()));
    if (!bytes.empty() && static_cast<unsigned char>(bytes.back()) > '.')
        bytes += '.';
    TMessageForm box(ApplicationTitle(), AnsiToText(bytes), bytes, mtError, mbOK, true);
    box.exec();
}

void TApplication::HandleException(TObject *)
{
    std::exception_ptr current = std::current_exception();
    if (!current)
        return;
    try {
        std::rethrow_exception(current);
    } catch (const Exception &exception) {
        ShowException(&exception);
    } catch (const std::exception &exception) {
        Exception shown(exception.what());
        ShowException(&shown);
    } catch (...) {
        Exception shown("");
        ShowException(&shown);
    }
}
