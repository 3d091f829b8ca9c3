object SampleForm: TSampleForm
  Left = 192
  Top = 114
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
  object Flag: TBevel
    Left = 360
    Top = 10
    Width = 32
    Height = 24
    Shape = bsFrame
    Style = bsLowered
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
    Glyph = 'tick.bmp'
    ParentFont = False
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
      BevelOuter = bvNone
      Color = clWhite
      TabOrder = 0
      object MsgLabel: TLabel
        Left = 8
        Top = 9
        Width = 71
        Height = 17
        Alignment = taCenter
        Caption = 'Loading...'
        Font.Charset = ANSI_CHARSET
        Font.Color = clWindowText
        Font.Height = -13
        Font.Name = 'Lucida Sans'
        Font.Style = [fsBold]
        ParentFont = False
        Transparent = True
      end
    end
  end
  object ScanBut: TBitBtn
    Left = 92
    Top = 104
    Width = 243
    Height = 57
    Caption = 'Scan document'
    Enabled = False
    Font.Charset = DEFAULT_CHARSET
    Font.Color = clWindowText
    Font.Height = -16
    Font.Name = 'MS Sans Serif'
    Font.Style = [fsBold]
    Glyph = 'tick.bmp'
    ParentFont = False
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
    Text = 'C:\My Documents'
  end
  object Ok: TBitBtn
    Left = 8
    Top = 310
    Width = 75
    Height = 25
    TabOrder = 5
    Kind = bkOK
  end
  object Progress: TProgressBar
    Left = 300
    Top = 318
    Width = 110
    Height = 17
    Position = 60
    TabOrder = 6
  end
end
