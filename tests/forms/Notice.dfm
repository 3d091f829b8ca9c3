object NoticeForm: TNoticeForm
  Left = 300
  Top = 200
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
  OldCreateOrder = False
  Position = poScreenCenter
  OnClose = FormClose
  OnCreate = FormCreate
  OnShow = FormShow
  PixelsPerInch = 96
  TextHeight = 13
  object LTitle: TLabel
    Left = 49
    Top = 30
    Width = 29
    Height = 19
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
  object BitBtn1: TBitBtn
    Left = 144
    Top = 184
    Width = 75
    Height = 25
    TabOrder = 0
    OnClick = BitBtn1Click
    Kind = bkOK
  end
  object Later: TButton
    Left = 8
    Top = 184
    Width = 75
    Height = 25
    Caption = 'Later'
    ModalResult = 7
    TabOrder = 1
  end
end
