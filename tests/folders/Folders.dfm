object FoldersForm: TFoldersForm
  Left = 0
  Top = 0
  BorderStyle = bsToolWindow
  Caption = 'Choose Folder'
  ClientHeight = 250
  ClientWidth = 312
  Position = poScreenCenter
  object DirectoryListBox1: TDirectoryListBox
    Left = 16
    Top = 40
    Width = 273
    Height = 193
    ItemHeight = 16
    TabOrder = 0
    OnChange = DirectoryListBox1Change
  end
  object DriveComboBox1: TDriveComboBox
    Left = 16
    Top = 12
    Width = 273
    Height = 19
    DirList = DirectoryListBox1
    TabOrder = 1
    OnChange = DriveComboBox1Change
  end
end
