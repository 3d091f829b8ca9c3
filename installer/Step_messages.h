// How the install and uninstall steps report a failure: the title and the
// text, each an id of the text table in the wizard's language, in the
// installer's message window, which the user closes with OK.
#pragma once

class TForm2;

void ReportStepFailure(TForm2 *wizard, int titleId, int textId);
