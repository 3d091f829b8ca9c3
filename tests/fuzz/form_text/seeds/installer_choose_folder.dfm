object ChooseFolder_Form: TForm
  Left = 0
  Top = 0
  BorderStyle = bsToolWindow
  Caption = 'Choose Folder'
  ClientHeight = 407
  ClientWidth = 312
  Color = clBtnFace
  Font.Charset = DEFAULT_CHARSET
  Font.Color = clWindowText
  Font.Height = -11
  Font.Name = 'MS Sans Serif'
  Font.Style = []
  Position = poScreenCenter
  PixelsPerInch = 96
  object IBg: TImage
    Left = 0
    Top = 0
    Width = 312
    Height = 407
    Align = alClient
    Center = True
    Picture = 'res/page.jpg'
    Stretch = True
  end
  object Label2: TLabel
    Left = 16
    Top = 24
    Caption = 'Please select the installation folder.'
    Transparent = True
  end
  object Label1: TLabel
    Left = 16
    Top = 48
    Caption = 'Path :'
    Transparent = True
  end
  object Label3: TLabel
    Left = 16
    Top = 112
    Caption = 'Directories :'
    Transparent = True
  end
  object DirectoryListBox1: TDirectoryListBox
    Left = 16
    Top = 160
    Width = 273
    Height = 193
    ItemHeight = 16
    TabOrder = 0
  end
  object DriveComboBox1: TDriveComboBox
    Left = 16
    Top = 136
    Width = 273
    Height = 19
    DirList = DirectoryListBox1
    TabOrder = 1
  end
  object EPath: TEdit
    Left = 16
    Top = 72
    Width = 273
    Height = 21
    TabOrder = 2
    Text = 'C:\ProgramFiles'
  end
  object BOk: TButton
    Left = 56
    Top = 368
    Width = 75
    Height = 25
    Caption = 'OK'
    TabOrder = 3
  end
  object BCancel: TButton
    Left = 168
    Top = 368
    Width = 75
    Height = 25
    Caption = 'Cancel'
    TabOrder = 4
  end
end
