// SelectDirectory: the class library's modal folder dialog (TSelectDirDlg),
// on the machine root's drives, with Windows paths.
//
//   AnsiString folder = "C:\\Program Files";
//   if (SelectDirectory(folder, TSelectDirOpts() << sdAllowCreate << sdPerformCreate << sdPrompt, 0))
//       ...folder is the chosen one
//
// The dialog opens at `Directory`, or at the nearest folder above it that
// exists (the current folder when there is none). The user picks a folder in
// the directory list (double-click or Enter), a drive in the drive list, or
// types a name in the edit (relative to the listed folder, or full). OK with
// an existing folder ends the dialog with it. A typed folder that does not
// exist is refused unless sdAllowCreate is given; then, with sdPrompt, the
// user is asked to confirm ("The specified directory does not exist. Create
// it?", Yes and No: anything but Yes keeps the dialog open), and with
// sdPerformCreate it is created with its missing parents (ForceDirectories).
// A folder that cannot be created is reported in the application's
// exception box ("Unable to create directory.") and the dialog stays open.
//
// True with `Directory` set to the chosen folder's full path on OK; false,
// with `Directory` untouched, on Cancel or when the dialog is closed. The
// dialog has no Help button; HelpCtx is not used. Call it on the GUI thread.
#pragma once

#include "AnsiString.h"
#include "Set.h"

enum TSelectDirOpt { sdAllowCreate, sdPerformCreate, sdPrompt };
typedef TSet<TSelectDirOpt> TSelectDirOpts;

bool SelectDirectory(AnsiString &Directory, TSelectDirOpts Options, int HelpCtx);
