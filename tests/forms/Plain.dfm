object Form1: TForm
  Caption = 'Plain'
  ClientHeight = 100
  ClientWidth = 200
end
