object ImagesForm: TImagesForm
  Left = 0
  Top = 0
  BorderStyle = bsNone
  Caption = 'Images'
  ClientHeight = 150
  ClientWidth = 240
  object Backdrop: TImage
    Left = 0
    Top = 0
    Width = 240
    Height = 150
    Align = alClient
    Picture = 'backdrop.jpg'
    Stretch = True
  end
  object Button1: TImage
    Left = 20
    Top = 20
    Width = 49
    Height = 27
    Picture = 'button.bmp'
    Proportional = True
    Stretch = True
    Transparent = True
    OnClick = Button1Click
  end
  object Squares: TImage
    Left = 100
    Top = 20
    Width = 40
    Height = 40
    Picture = 'four.bmp'
    Center = True
    Visible = False
  end
  object Sized: TImage
    Left = 150
    Top = 80
    Width = 10
    Height = 10
    AutoSize = True
    Picture = 'button.bmp'
  end
end
