object ShownForm: TShownForm
  Left = 10
  Top = 20
  BorderStyle = bsNone
  Caption = 'Wizard'
  ClientHeight = 442
  ClientWidth = 568
  Visible = True
  OnCreate = FormCreate
  OnShow = FormShow
end
