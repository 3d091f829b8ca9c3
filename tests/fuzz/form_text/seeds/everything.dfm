object EverythingForm: TForm
  Left = 200
  Top = 100
  BorderStyle = bsToolWindow
  BorderIcons = [biSystemMenu]
  Caption = 'It''s '#39'all'#39
  ClientHeight = 345
  ClientWidth = 426
  Color = clBtnFace
  Font.Charset = DEFAULT_CHARSET
  Font.Color = clWindowText
  Font.Height = -11
  Font.Name = 'MS Sans Serif'
  Font.Style = []
  OldCreateOrder = False
  Position = poDesigned
  Scaled = False
  PixelsPerInch = 96
  TextHeight = 13
  object Frame: TPanel
    Left = 0
    Top = 0
    Width = 426
    Height = 345
    Align = alClient
    BevelOuter = bvLowered
    BorderStyle = bsSingle
    BorderWidth = 4
    Color = clMenuBar
    TabOrder = 0
    object Title: TLabel
      Left = 67
      Top = 55
      Width = 10
      Height = 10
      Alignment = taRightJustify
      Caption = 'First line'#13#10 +
        'second line'
      Cursor = crHandPoint
      Font.Charset = ANSI_CHARSET
      Font.Color = 8866311
      Font.Height = -27
      Font.Name = 'Arial'
      Font.Style = [fsBold, fsItalic]
      ParentFont = False
      Transparent = True
      Visible = False
      Enabled = False
    end
    object Middle: TLabel
      Left = 52
      Top = 192
      Width = 300
      Height = 113
      Alignment = taCenter
      AutoSize = False
      Caption = 'A long text that wraps'
      Font.Size = 14
      WordWrap = True
    end
    object Box: TPanel
      Left = 27
      Top = 32
      Width = 372
      Height = 57
      BorderWidth = 4
      TabOrder = 2
      object WhiteBox: TPanel
        Left = 5
        Top = 5
        Width = 362
        Height = 47
        Align = alClient
        BevelOuter = bvNone
        Color = clWhite
        TabOrder = 0
      end
    end
    object Flag: TBevel
      Left = 197
      Top = 305
      Width = 32
      Height = 24
      Shape = bsFrame
      Style = bsRaised
    end
    object Plain: TButton
      Left = 0
      Top = 320
      Width = 75
      Height = 25
      Caption = 'ShowLog'
      ModalResult = 2
      TabOrder = 1
    end
    object Ok: TBitBtn
      Left = 144
      Top = 184
      Width = 75
      Height = 25
      Kind = bkOK
      TabOrder = 3
    end
    object Pictured: TBitBtn
      Left = 153
      Top = 288
      Width = 119
      Height = 41
      Caption = 'Close'
      Font.Height = -16
      Font.Style = [fsBold]
      Glyph = 'tick.bmp'
      ParentFont = False
      Spacing = 10
      TabOrder = 4
    end
    object Path: TEdit
      Left = 144
      Top = 244
      Width = 257
      Height = 21
      ReadOnly = True
      TabOrder = 5
      Text = 'C:\Program Files'
    end
    object Log: TMemo
      Left = 250
      Top = 100
      Width = 150
      Height = 70
      Lines.Strings = (
        'first'
        'second'#9'tab'
        '')
      ScrollBars = ssBoth
      TabOrder = 6
    end
    object Progress: TProgressBar
      Left = 48
      Top = 112
      Width = 150
      Height = 17
      Max = 100
      Position = 25
      Visible = False
      TabOrder = 7
    end
  end
  object Tick: TTimer
    Enabled = False
    Interval = 500
  end
end
