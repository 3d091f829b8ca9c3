object MainForm: TForm
  Left = 300
  Top = 200
  BorderStyle = bsToolWindow
  Caption = 'Scanner'
  ClientHeight = 345
  ClientWidth = 426
  Color = clBtnFace
  Font.Charset = DEFAULT_CHARSET
  Font.Color = clWindowText
  Font.Height = -11
  Font.Name = 'MS Sans Serif'
  Font.Style = []
  OldCreateOrder = False
  Position = poScreenCenter
  PixelsPerInch = 96
  TextHeight = 13
  object Image1: TImage
    Left = 0
    Top = 0
    Width = 426
    Height = 345
    Align = alClient
    Picture = 'res/background.jpg'
    Stretch = True
  end
  object DestLabel: TLabel
    Left = 27
    Top = 248
    Width = 112
    Height = 13
    Caption = 'Destination folder :'
    Font.Charset = DEFAULT_CHARSET
    Font.Color = clWindowText
    Font.Height = -11
    Font.Name = 'MS Sans Serif'
    Font.Style = [fsBold]
    ParentFont = False
    Transparent = True
  end
  object CloseBut: TBitBtn
    Left = 153
    Top = 288
    Width = 119
    Height = 41
    Caption = 'Close'
    Font.Charset = DEFAULT_CHARSET
    Font.Color = clWindowText
    Font.Height = -16
    Font.Name = 'MS Sans Serif'
    Font.Style = [fsBold]
    ParentFont = False
    Glyph = 'res/close.bmp'
    Spacing = 10
    TabOrder = 0
  end
  object Panel1: TPanel
    Left = 27
    Top = 32
    Width = 372
    Height = 57
    BorderWidth = 4
    TabOrder = 1
    object Panel2: TPanel
      Left = 5
      Top = 5
      Width = 362
      Height = 47
      Align = alClient
      Color = clWhite
      TabOrder = 0
      object MsgLabel: TLabel
        Left = 8
        Top = 9
        Width = 346
        Height = 16
        Alignment = taCenter
        Caption = 'Loading...'
        Font.Charset = ANSI_CHARSET
        Font.Color = clWindowText
        Font.Height = -13
        Font.Name = 'Lucida Sans'
        Font.Style = [fsBold]
        ParentFont = False
      end
    end
  end
  object ScanBut: TBitBtn
    Left = 92
    Top = 104
    Width = 243
    Height = 57
    Caption = 'Scan document'
    Font.Charset = DEFAULT_CHARSET
    Font.Color = clWindowText
    Font.Height = -16
    Font.Name = 'MS Sans Serif'
    Font.Style = [fsBold]
    ParentFont = False
    Glyph = 'res/scan.bmp'
    Spacing = 10
    TabOrder = 2
  end
  object DestBut: TBitBtn
    Left = 92
    Top = 168
    Width = 243
    Height = 57
    Caption = 'Destination folder'
    Font.Charset = DEFAULT_CHARSET
    Font.Color = clWindowText
    Font.Height = -16
    Font.Name = 'MS Sans Serif'
    Font.Style = [fsBold]
    ParentFont = False
    Glyph = 'res/folder.bmp'
    Spacing = 10
    TabOrder = 3
  end
  object DestEdit: TEdit
    Left = 144
    Top = 244
    Width = 257
    Height = 21
    ReadOnly = True
    TabOrder = 4
  end
  object ShowLog: TButton
    Left = 0
    Top = 320
    Width = 75
    Height = 25
    Caption = 'ShowLog'
    TabOrder = 5
  end
  object Button1: TButton
    Left = 72
    Top = 320
    Width = 75
    Height = 25
    Caption = 'FlushDebug'
    TabOrder = 6
  end
  object Button2: TButton
    Left = 144
    Top = 320
    Width = 75
    Height = 25
    Caption = 'Mark'
    TabOrder = 7
  end
  object CheckMsgTimer: TTimer
    Enabled = False
    Interval = 500
  end
end
