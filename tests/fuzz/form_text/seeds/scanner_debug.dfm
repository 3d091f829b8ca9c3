object DebugForm: TForm
  Left = 735
  Top = 32
  Width = 485
  Height = 553
  Caption = 'DebugForm'
  Color = clBtnFace
  Font.Charset = DEFAULT_CHARSET
  Font.Color = clWindowText
  Font.Height = -11
  Font.Name = 'MS Sans Serif'
  Font.Style = []
  OldCreateOrder = False
  PixelsPerInch = 96
  TextHeight = 13
  object LogMemo: TMemo
    Left = 32
    Top = 16
    Width = 417
    Height = 449
    ScrollBars = ssBoth
    TabOrder = 0
  end
  object Button1: TButton
    Left = 88
    Top = 480
    Width = 75
    Height = 25
    Caption = 'Close'
    TabOrder = 1
  end
  object Button2: TButton
    Left = 192
    Top = 480
    Width = 75
    Height = 25
    Caption = 'Clear'
    TabOrder = 2
  end
  object Button3: TButton
    Left = 296
    Top = 480
    Width = 75
    Height = 25
    Caption = 'Copy'
    TabOrder = 3
  end
end
