VERSION 5.00
Object = "{B110C1F3-A262-46BD-A08D-52FFA8A08184}#2.1#0"; "Vantler.ocx"
Begin VB.Form Form1
   Caption         =   "Q7"
   ClientHeight    =   4800
   ClientLeft      =   60
   ClientTop       =   345
   ClientWidth     =   6000
   LinkTopic       =   "Form1"
   ScaleHeight     =   4800
   ScaleWidth      =   6000
   StartUpPosition =   3  'Windows Default
   Begin VantlerLib.Vantler Vantler1
      Height          =   4200
      Left            =   120
      TabIndex        =   0
      Top             =   120
      Width           =   5760
      ResourceFile    =   "C:\PROJEKTE\Language\English\Q7.vtr"
      Rows            =   7
      Columns         =   7
   End
End
Attribute VB_Name = "Form1"
Attribute VB_GlobalNameSpace = False
Attribute VB_Creatable = False
Attribute VB_PredeclaredId = True
Attribute VB_Exposed = False
Option Explicit

Private Moves As Integer
Private Placed(1 To 7) As Boolean

Private Sub Form_Load()
   Moves = 0
End Sub

Private Sub Vantler1_TileClick(ByVal Row As Integer, ByVal Col As Integer, Cancel As Boolean)
   ' One queen per row: a click on a row that already holds one is refused.
   If Placed(Row) Then
      Cancel = True
      Exit Sub
   End If
   Placed(Row) = True
   Moves = Moves + 1
   If Moves = 7 Then Caption = "Q7 - solved"
End Sub

Private Sub Vantler1_LoadFailed(ByVal Reason As String)
   MsgBox "The board could not be loaded: " & Reason, vbExclamation, "Q7"
End Sub
