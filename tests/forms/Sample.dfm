object SampleForm: TSampleForm
  Left = 192
  Top = 114
  BorderStyle = bsToolWindow
  Caption = 'Sample'
  ClientHeight = 200
  ClientWidth = 300
  Color = clBtnFace
  Font.Charset = DEFAULT_CHARSET
  Font.Color = clWindowText
  Font.Height = -11
  Font.Name = 'MS Sans Serif'
  Font.Style = []
  OldCreateOrder = False
  Position = poScreenCenter
  OnCreate = FormCreate
  PixelsPerInch = 96
  TextHeight = 13
  object Label1: TLabel
    Left = 8
    Top = 9
    Width = 40
    Height = 13
    Caption = 'Hello'#13#10'second line'
    Font.Charset = ANSI_CHARSET
    Font.Color = 8866311
    Font.Height = -13
    Font.Name = 'Lucida Sans'
    Font.Style = [fsBold, fsItalic]
    ParentFont = False
    Transparent = True
    OnClick = Label1Click
    OnMouseUp = Label1MouseUp
  end
end
