object ProbeForm: TProbeForm
  Left = 120
  Top = 100
  BorderStyle = bsSingle
  Caption = 'Probe'
  ClientHeight = 200
  ClientWidth = 360
  Color = clBtnFace
  Font.Charset = DEFAULT_CHARSET
  Font.Color = clWindowText
  Font.Height = -11
  Font.Name = 'MS Sans Serif'
  Font.Style = []
  OnCreate = FormCreate
  PixelsPerInch = 96
  TextHeight = 13
  object LHover: TLabel
    Left = 20
    Top = 20
    Width = 140
    Height = 40
    Caption = 'Hover'
    Font.Charset = DEFAULT_CHARSET
    Font.Color = clNavy
    Font.Height = -19
    Font.Name = 'Arial'
    Font.Style = []
    ParentFont = False
    OnClick = LHoverClick
    OnMouseEnter = LabelMouseEnter
    OnMouseLeave = LabelMouseLeave
  end
  object LOther: TLabel
    Left = 20
    Top = 120
    Width = 140
    Height = 40
    Caption = 'Other'
    Font.Charset = DEFAULT_CHARSET
    Font.Color = clMaroon
    Font.Height = -19
    Font.Name = 'Arial'
    Font.Style = []
    ParentFont = False
    OnClick = LOtherClick
    OnMouseEnter = LabelMouseEnter
    OnMouseLeave = LabelMouseLeave
  end
  object Browse: TButton
    Left = 220
    Top = 20
    Width = 110
    Height = 30
    Caption = 'Browse'
    TabOrder = 0
    OnClick = BrowseClick
  end
  object ShowBut: TButton
    Left = 220
    Top = 120
    Width = 110
    Height = 30
    Caption = 'Show'
    TabOrder = 1
    OnClick = ShowButClick
  end
end
