object Message_Form: TForm
  Left = 0
  Top = 0
  BorderStyle = bsToolWindow
  Caption = 'Message'
  ClientHeight = 225
  ClientWidth = 353
  Color = clBtnFace
  Font.Charset = DEFAULT_CHARSET
  Font.Color = clWindowText
  Font.Height = -11
  Font.Name = 'MS Sans Serif'
  Font.Style = []
  Position = poScreenCenter
  PixelsPerInch = 96
  object BitBtn1: TBitBtn
    Left = 144
    Top = 184
    Width = 75
    Height = 25
    TabOrder = 0
    Kind = bkOK
  end
  object IBg: TImage
    Left = 0
    Top = 0
    Width = 353
    Height = 225
    Align = alClient
    Center = True
    Picture = 'res/page.jpg'
    Stretch = True
  end
  object LTitle: TLabel
    Left = 49
    Top = 30
    Caption = 'Title'
    Font.Charset = ANSI_CHARSET
    Font.Color = 8866311
    Font.Height = -16
    Font.Name = 'Arial'
    Font.Style = [fsBold, fsItalic]
    ParentFont = False
    Transparent = True
  end
  object LMessage: TLabel
    Left = 41
    Top = 86
    Width = 280
    Height = 75
    Alignment = taCenter
    AutoSize = False
    Caption = 'Message'
    Font.Charset = ANSI_CHARSET
    Font.Color = 8866311
    Font.Height = -16
    Font.Name = 'Arial'
    Font.Style = [fsBold, fsItalic]
    ParentFont = False
    Transparent = True
    WordWrap = True
  end
end
