object Form2: TForm2
  Left = 0
  Top = 0
  BorderStyle = bsNone
  Caption = 'Setup'
  ClientHeight = 442
  ClientWidth = 568
  Color = clBtnFace
  Font.Charset = DEFAULT_CHARSET
  Font.Color = clWindowText
  Font.Height = -11
  Font.Name = 'MS Sans Serif'
  Font.Style = []
  Position = poScreenCenter
  Scaled = False
  Visible = True
  OnCreate = FormCreate
  OnDestroy = FormDestroy
  PixelsPerInch = 96
  object Panel1: TPanel
    Left = 0
    Top = 0
    Width = 568
    Height = 442
    Align = alClient
    BorderStyle = bsSingle
    BorderWidth = 4
    Color = clMenuBar
    TabOrder = 0
    object IHomeBg: TImage
      Left = 5
      Top = 5
      Width = 554
      Height = 428
      Align = alClient
      Center = True
      Picture = 'res/home.jpg'
      Stretch = True
    end
    object IBg: TImage
      Left = 5
      Top = 5
      Width = 554
      Height = 428
      Align = alClient
      Center = True
      Picture = 'res/page.jpg'
      Stretch = True
      Visible = False
    end
    object LMidText: TLabel
      Left = 52
      Top = 192
      Width = 457
      Height = 113
      Alignment = taCenter
      AutoSize = False
      Font.Charset = ANSI_CHARSET
      Font.Color = 8866311
      Font.Height = -19
      Font.Name = 'Arial'
      Font.Style = [fsBold, fsItalic]
      ParentFont = False
      Transparent = True
      WordWrap = True
    end
    object LTitle: TLabel
      Left = 67
      Top = 55
      Font.Charset = ANSI_CHARSET
      Font.Color = 8866311
      Font.Height = -27
      Font.Name = 'Arial'
      Font.Style = [fsBold, fsItalic]
      ParentFont = False
      Transparent = True
    end
    object LChap1: TLabel
      Left = 104
      Top = 130
      Font.Charset = ANSI_CHARSET
      Font.Color = 8866311
      Font.Height = -24
      Font.Name = 'Arial'
      Font.Style = [fsBold, fsItalic]
      ParentFont = False
      Transparent = True
      Visible = False
      OnMouseDown = SChap1MouseDown
      OnMouseEnter = LChap1MouseEnter
      OnMouseLeave = LChap1MouseLeave
      OnMouseUp = LChap1MouseUp
    end
    object LChap2: TLabel
      Left = 104
      Top = 180
      Font.Charset = ANSI_CHARSET
      Font.Color = 8866311
      Font.Height = -24
      Font.Name = 'Arial'
      Font.Style = [fsBold, fsItalic]
      ParentFont = False
      Transparent = True
      Visible = False
      OnMouseDown = LChap2MouseDown
      OnMouseEnter = LChap2MouseEnter
      OnMouseLeave = LChap2MouseLeave
      OnMouseUp = LChap2MouseUp
    end
    object LChap3: TLabel
      Left = 104
      Top = 230
      Font.Charset = ANSI_CHARSET
      Font.Color = 8866311
      Font.Height = -24
      Font.Name = 'Arial'
      Font.Style = [fsBold, fsItalic]
      ParentFont = False
      Transparent = True
      Visible = False
      OnMouseDown = LChap3MouseDown
      OnMouseEnter = LChap3MouseEnter
      OnMouseLeave = LChap3MouseLeave
      OnMouseUp = LChap3MouseUp
    end
    object LChap4: TLabel
      Left = 104
      Top = 280
      Font.Charset = ANSI_CHARSET
      Font.Color = 8866311
      Font.Height = -24
      Font.Name = 'Arial'
      Font.Style = [fsBold, fsItalic]
      ParentFont = False
      Transparent = True
      Visible = False
      OnMouseDown = LChap4MouseDown
      OnMouseEnter = LChap4MouseEnter
      OnMouseLeave = LChap4MouseLeave
      OnMouseUp = LChap4MouseUp
    end
    object Img1: TImage
      Left = 52
      Top = 130
      Width = 49
      Height = 27
      Picture = 'res/button_normal.bmp'
      Proportional = True
      Stretch = True
      Transparent = True
      Visible = False
    end
    object Img2: TImage
      Left = 52
      Top = 180
      Width = 49
      Height = 27
      Picture = 'res/button_normal.bmp'
      Proportional = True
      Stretch = True
      Transparent = True
      Visible = False
    end
    object Img3: TImage
      Left = 52
      Top = 230
      Width = 49
      Height = 27
      Picture = 'res/button_normal.bmp'
      Proportional = True
      Stretch = True
      Transparent = True
      Visible = False
    end
    object Img4: TImage
      Left = 52
      Top = 281
      Width = 49
      Height = 27
      Picture = 'res/button_normal.bmp'
      Proportional = True
      Stretch = True
      Transparent = True
      Visible = False
    end
    object LContinue: TLabel
      Left = 221
      Top = 336
      Font.Charset = ANSI_CHARSET
      Font.Color = 8866311
      Font.Height = -24
      Font.Name = 'Arial'
      Font.Style = [fsBold, fsItalic]
      ParentFont = False
      Transparent = True
      Visible = False
      OnMouseDown = LContinueMouseDown
      OnMouseEnter = LContinueMouseEnter
      OnMouseLeave = LContinueMouseLeave
      OnMouseUp = LContinueMouseUp
    end
    object Img6: TImage
      Left = 165
      Top = 338
      Width = 49
      Height = 27
      Picture = 'res/button_normal.bmp'
      Proportional = True
      Stretch = True
      Transparent = True
      Visible = False
    end
    object LExit2: TLabel
      Left = 272
      Top = 304
      Font.Charset = ANSI_CHARSET
      Font.Color = 8866311
      Font.Height = -24
      Font.Name = 'Arial'
      Font.Style = [fsBold, fsItalic]
      ParentFont = False
      Transparent = True
      Visible = False
      OnMouseDown = LExit2MouseDown
      OnMouseEnter = LExit2MouseEnter
      OnMouseLeave = LExit2MouseLeave
      OnMouseUp = LExit2MouseUp
    end
    object Img5: TImage
      Left = 211
      Top = 305
      Width = 49
      Height = 27
      Picture = 'res/button_normal.bmp'
      Proportional = True
      Stretch = True
      Transparent = True
      Visible = False
    end
    object LExit: TLabel
      Left = 547
      Top = 9
      Width = 0
      Height = 16
      Alignment = taRightJustify
      Cursor = crHandPoint
      Font.Charset = ANSI_CHARSET
      Font.Color = 8866311
      Font.Height = -16
      Font.Name = 'Arial'
      Font.Style = [fsBold, fsItalic]
      ParentFont = False
      Transparent = True
      Visible = False
      OnMouseEnter = LExitMouseEnter
      OnMouseLeave = LExitMouseLeave
      OnMouseUp = LExitMouseUp
    end
    object LPrev: TLabel
      Left = 9
      Top = 408
      Cursor = crHandPoint
      Font.Charset = ANSI_CHARSET
      Font.Color = 8866311
      Font.Height = -16
      Font.Name = 'Arial'
      Font.Style = [fsBold, fsItalic]
      ParentFont = False
      Transparent = True
      Visible = False
      OnMouseEnter = LPrevMouseEnter
      OnMouseLeave = LPrevMouseLeave
      OnMouseUp = LPrevMouseUp
    end
    object LMenu: TLabel
      Left = 551
      Top = 407
      Width = 0
      Height = 16
      Alignment = taRightJustify
      Cursor = crHandPoint
      Font.Charset = ANSI_CHARSET
      Font.Color = 8866311
      Font.Height = -16
      Font.Name = 'Arial'
      Font.Style = [fsBold, fsItalic]
      ParentFont = False
      Transparent = True
      Visible = False
      OnMouseEnter = LMenuMouseEnter
      OnMouseLeave = LMenuMouseLeave
      OnMouseUp = LMenuMouseUp
    end
    object EPath: TEdit
      Left = 104
      Top = 265
      Width = 281
      Height = 21
      ReadOnly = True
      TabOrder = 0
      Visible = False
    end
    object LBrowse: TLabel
      Left = 395
      Top = 263
      Cursor = crHandPoint
      Font.Charset = ANSI_CHARSET
      Font.Color = 8866311
      Font.Height = -19
      Font.Name = 'Arial'
      Font.Style = [fsBold, fsItalic]
      ParentFont = False
      Transparent = True
      Visible = False
      OnMouseEnter = LBrowseMouseEnter
      OnMouseLeave = LBrowseMouseLeave
      OnMouseUp = LBrowseMouseUp
    end
    object Img_CN: TImage
      Left = 200
      Top = 408
      Width = 25
      Height = 17
      Picture = 'res/flag_cn.bmp'
      Stretch = True
      OnClick = Img_CNClick
    end
    object Img_FR: TImage
      Left = 264
      Top = 408
      Width = 25
      Height = 17
      Picture = 'res/flag_fr.bmp'
      Stretch = True
      OnClick = Img_FRClick
    end
    object Img_UK: TImage
      Left = 328
      Top = 408
      Width = 25
      Height = 17
      Picture = 'res/flag_uk.bmp'
      Stretch = True
      OnClick = Img_UKClick
    end
    object B_CN: TBevel
      Left = 197
      Top = 405
      Width = 32
      Height = 24
      Style = bsLowered
    end
    object B_FR: TBevel
      Left = 260
      Top = 404
      Width = 33
      Height = 25
      Style = bsRaised
    end
    object B_UK: TBevel
      Left = 324
      Top = 405
      Width = 34
      Height = 24
      Style = bsRaised
    end
    object ImgOut: TImage
      Left = 0
      Top = 0
      Width = 88
      Height = 52
      Picture = 'res/button_normal.bmp'
      Visible = False
    end
    object ImgOver: TImage
      Left = 0
      Top = 0
      Width = 88
      Height = 52
      Picture = 'res/button_hover.bmp'
      Visible = False
    end
    object ImgDown: TImage
      Left = 0
      Top = 0
      Width = 88
      Height = 52
      Picture = 'res/button_pressed.bmp'
      Visible = False
    end
    object ProgressBar1: TProgressBar
      Left = 48
      Top = 112
      Width = 449
      Height = 17
      Min = 0
      Max = 100
      TabOrder = 1
      Visible = False
    end
  end
  object Timer1: TTimer
    Enabled = False
    OnTimer = Timer1Timer
  end
  object Timer2: TTimer
    Enabled = False
    OnTimer = Timer2Timer
  end
  object Timer3: TTimer
    Enabled = False
    OnTimer = Timer3Timer
  end
end
