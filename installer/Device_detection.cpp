// The wait for the device after installing: once a second the wizard looks
// for the device's COM port and moves on to page 10 when one can be opened;
// until then a row of one to four dots shows that it is waiting.
#include "Ftdi_ports.h"
#include "Main2.h"
#include "StringList.h"
#include "Tserial.h"

namespace {

constexpr int kBaud = 19200;
constexpr int kTestOpenDelay = 10;
constexpr int kDetectedPage = 10;
constexpr int kMostDots = 4;

// The test-open of a listed port with the installer's own port object.
bool TestOpen(const AnsiString &port)
{
    Tserial *serial = new Tserial;
    const bool opened = serial->Open(port.c_str(), kBaud, kTestOpenDelay, 0) == Tserial::kOpenOk;
    if (opened)
        serial->Close();
    delete serial;
    return opened;
}

} // namespace

TStringList *TForm2::FindFtdiComPorts() { return ListFtdiPorts(TestOpen); }

void TForm2::Timer2Timer(TObject *)
{
    TStringList *ports = FindFtdiComPorts();
    if (ports->Count() > 0) {
        FComPort = ports->Strings(0);
        Timer2->SetEnabled(false);
        ShowPage(kDetectedPage);
    } else {
        // The wait goes on whatever page shows; only a port found ends it.
        LChap4->SetVisible(true);
        if (LChap4->Caption().Length() < kMostDots)
            LChap4->SetCaption(LChap4->Caption() + ".");
        else
            LChap4->SetCaption(".");
    }
    delete ports;
}
