// kovraHandles.h: every name the GUI programs find elements and program data
// by: IupSetHandle/IupGetHandle handles, attributes and globals under a
// "KOV_" name. Handles live in one name space shared by the editor, the
// calculator and libkovra's dialogs, so they are written once here; a
// misspelt name then fails to compile instead of finding nothing when the
// program runs. Each constant is spelt as the name it holds.
#pragma once

// One name: a constant spelt as the text it holds, so the two cannot differ.
#define KOV_NAME(name) inline constexpr char name[] = #name

// Actionbar
KOV_NAME(KOV_Actionbar);
KOV_NAME(KOV_Actionbar_Btn_Contact);
KOV_NAME(KOV_Actionbar_Btn_Copy);
KOV_NAME(KOV_Actionbar_Btn_Cut);
KOV_NAME(KOV_Actionbar_Btn_Delete);
KOV_NAME(KOV_Actionbar_Btn_Doping);
KOV_NAME(KOV_Actionbar_Btn_Index);
KOV_NAME(KOV_Actionbar_Btn_Insert);
KOV_NAME(KOV_Actionbar_Btn_Light);
KOV_NAME(KOV_Actionbar_Btn_Mobility);
KOV_NAME(KOV_Actionbar_Btn_New);
KOV_NAME(KOV_Actionbar_Btn_Open);
KOV_NAME(KOV_Actionbar_Btn_Paste);
KOV_NAME(KOV_Actionbar_Btn_Plot);
KOV_NAME(KOV_Actionbar_Btn_Reset);
KOV_NAME(KOV_Actionbar_Btn_Run);
KOV_NAME(KOV_Actionbar_Btn_Save);
KOV_NAME(KOV_Actionbar_Btn_Stop);
KOV_NAME(KOV_Actionbar_Btn_Tools);
KOV_NAME(KOV_Actionbar_Btn_Trap);
KOV_NAME(KOV_Actionbar_Btn_Variable);
KOV_NAME(KOV_Actionbar_Btn_Voltage);
KOV_NAME(KOV_Actionbar_Info);
KOV_NAME(KOV_Actionbar_Toolbar);

// AppDir
KOV_NAME(KOV_AppDir);

// BinDir
KOV_NAME(KOV_BinDir);

// Caption
KOV_NAME(KOV_Caption);

// CentralSplitBox
KOV_NAME(KOV_CentralSplitBox);

// ChildReaper
KOV_NAME(KOV_ChildReaper);

// ColorBack
KOV_NAME(KOV_ColorBack);

// ColorDefault
KOV_NAME(KOV_ColorDefault);

// ColorSelection
KOV_NAME(KOV_ColorSelection);

// ColorSelectionMotion
KOV_NAME(KOV_ColorSelectionMotion);

// ColorSeparator
KOV_NAME(KOV_ColorSeparator);

// ConfigFilename
KOV_NAME(KOV_ConfigFilename);

// ConfigFilenameLocal
KOV_NAME(KOV_ConfigFilenameLocal);

// Console
KOV_NAME(KOV_Console);

// DeviceCanvas
KOV_NAME(KOV_DeviceCanvas);

// DeviceContact
KOV_NAME(KOV_DeviceContact);

// DeviceLayerDelete
KOV_NAME(KOV_DeviceLayerDelete);

// DeviceLayerDoping
KOV_NAME(KOV_DeviceLayerDoping);

// DeviceLayerIndex
KOV_NAME(KOV_DeviceLayerIndex);

// DeviceLayerInsert
KOV_NAME(KOV_DeviceLayerInsert);

// DeviceLayerLattice
KOV_NAME(KOV_DeviceLayerLattice);

// DeviceLayerMaterial
KOV_NAME(KOV_DeviceLayerMaterial);

// DeviceLayerMobility
KOV_NAME(KOV_DeviceLayerMobility);

// DeviceLayerMoveDown
KOV_NAME(KOV_DeviceLayerMoveDown);

// DeviceLayerMoveUp
KOV_NAME(KOV_DeviceLayerMoveUp);

// DeviceLayerParam
KOV_NAME(KOV_DeviceLayerParam);

// DeviceLayerTrap
KOV_NAME(KOV_DeviceLayerTrap);

// DeviceLayerUrbach
KOV_NAME(KOV_DeviceLayerUrbach);

// DeviceLayerVariable
KOV_NAME(KOV_DeviceLayerVariable);

// DeviceName
KOV_NAME(KOV_DeviceName);

// DeviceTemperature
KOV_NAME(KOV_DeviceTemperature);

// Dialog
KOV_NAME(KOV_Dialog);

// DialogDescription
KOV_NAME(KOV_DialogDescription);

// DocDir
KOV_NAME(KOV_DocDir);

// EditCopy
KOV_NAME(KOV_EditCopy);

// EditCut
KOV_NAME(KOV_EditCut);

// EditorLaunch
KOV_NAME(KOV_EditorLaunch);

// EditPaste
KOV_NAME(KOV_EditPaste);

// EditReset
KOV_NAME(KOV_EditReset);

// Example00
KOV_NAME(KOV_Example00);

// Example01
KOV_NAME(KOV_Example01);

// Example02
KOV_NAME(KOV_Example02);

// Example03
KOV_NAME(KOV_Example03);

// ExampleId
KOV_NAME(KOV_ExampleId);

// ExcitationLight
KOV_NAME(KOV_ExcitationLight);

// ExcitationVoltage
KOV_NAME(KOV_ExcitationVoltage);

// ExpDir
KOV_NAME(KOV_ExpDir);

// FileDefault
KOV_NAME(KOV_FileDefault);

// FileDefaultReset
KOV_NAME(KOV_FileDefaultReset);

// FileExit
KOV_NAME(KOV_FileExit);

// FileNew
KOV_NAME(KOV_FileNew);

// FileOpen
KOV_NAME(KOV_FileOpen);

// FileRecent00
KOV_NAME(KOV_FileRecent00);

// FileRecent01
KOV_NAME(KOV_FileRecent01);

// FileRecent02
KOV_NAME(KOV_FileRecent02);

// FileRecent12
KOV_NAME(KOV_FileRecent12);

// FileReload
KOV_NAME(KOV_FileReload);

// FileReopen
KOV_NAME(KOV_FileReopen);

// FileSave
KOV_NAME(KOV_FileSave);

// FileSaveAs
KOV_NAME(KOV_FileSaveAs);

// FuncList
KOV_NAME(KOV_FuncList);

// HelpAbout
KOV_NAME(KOV_HelpAbout);

// HelpContents
KOV_NAME(KOV_HelpContents);

// HelpFilenameLua
KOV_NAME(KOV_HelpFilenameLua);

// HelpFilenameSimulator
KOV_NAME(KOV_HelpFilenameSimulator);

// HelpUpdate
KOV_NAME(KOV_HelpUpdate);

// Image
KOV_NAME(KOV_Image_);

// IndexSource
KOV_NAME(KOV_IndexSource);

// KovraTool
KOV_NAME(KOV_KovraTool_KovraCalc);
KOV_NAME(KOV_KovraTool_KovraDatabase);
KOV_NAME(KOV_KovraTool_KovraEdit);
KOV_NAME(KOV_KovraTool_KovraPlot);

// LoadedText
KOV_NAME(KOV_LoadedText);

// MainButtonH
KOV_NAME(KOV_MainButtonH);

// MainButtonW
KOV_NAME(KOV_MainButtonW);

// Numpad
KOV_NAME(KOV_Numpad);

// OptionsColorizeEg
KOV_NAME(KOV_OptionsColorizeEg);

// OptionsColorizeMesh
KOV_NAME(KOV_OptionsColorizeMesh);

// OptionsColorizeN
KOV_NAME(KOV_OptionsColorizeN);

// OptionsColorizeNone
KOV_NAME(KOV_OptionsColorizeNone);

// OptionsColors
KOV_NAME(KOV_OptionsColors);

// OptionsDirDate
KOV_NAME(KOV_OptionsDirDate);

// OptionsHighlight
KOV_NAME(KOV_OptionsHighlight);

// OptionsNumeric
KOV_NAME(KOV_OptionsNumeric);

// OptionsOutDir
KOV_NAME(KOV_OptionsOutDir);

// OptionsPlot
KOV_NAME(KOV_OptionsPlot);

// OptionsSaveFull
KOV_NAME(KOV_OptionsSaveFull);

// Output
KOV_NAME(KOV_Output);

// OutputActionbar
KOV_NAME(KOV_OutputActionbar);

// OutputHbox
KOV_NAME(KOV_OutputHbox);

// OutputReset
KOV_NAME(KOV_OutputReset);

// OutputVbox
KOV_NAME(KOV_OutputVbox);

// PreviousCaretPos
KOV_NAME(KOV_PreviousCaretPos);

// RecentFilename
KOV_NAME(KOV_RecentFilename);

// Record
KOV_NAME(KOV_Record);

// RightBox
KOV_NAME(KOV_RightBox);

// RunClear
KOV_NAME(KOV_RunClear);

// RunPlot
KOV_NAME(KOV_RunPlot);

// RunRun
KOV_NAME(KOV_RunRun);

// RunStop
KOV_NAME(KOV_RunStop);

// RunnerHost
KOV_NAME(KOV_RunnerHost);

// RunnerTimer
KOV_NAME(KOV_RunnerTimer);

// Statusbar
KOV_NAME(KOV_Statusbar);
KOV_NAME(KOV_Statusbar_Pane0);
KOV_NAME(KOV_Statusbar_Pane1);

// Template01
KOV_NAME(KOV_Template01);

// Template02
KOV_NAME(KOV_Template02);

// TemplateId
KOV_NAME(KOV_TemplateId);

// Value
KOV_NAME(KOV_Value);

// ViewActionbar
KOV_NAME(KOV_ViewActionbar);

// ViewNumpad
KOV_NAME(KOV_ViewNumpad);

// ViewStatusbar
KOV_NAME(KOV_ViewStatusbar);

// ViewTop
KOV_NAME(KOV_ViewTop);

// ViewZoomIn
KOV_NAME(KOV_ViewZoomIn);

// ViewZoomNormal
KOV_NAME(KOV_ViewZoomNormal);

// ViewZoomOut
KOV_NAME(KOV_ViewZoomOut);

// WindowAbout
KOV_NAME(KOV_WindowAbout);
KOV_NAME(KOV_WindowAbout_OK);

// WindowColor
KOV_NAME(KOV_WindowColor);
KOV_NAME(KOV_WindowColor_Apply);
KOV_NAME(KOV_WindowColor_Back);
KOV_NAME(KOV_WindowColor_Bold);
KOV_NAME(KOV_WindowColor_Cancel);
KOV_NAME(KOV_WindowColor_Font);
KOV_NAME(KOV_WindowColor_Fore);
KOV_NAME(KOV_WindowColor_Italic);
KOV_NAME(KOV_WindowColor_OK);
KOV_NAME(KOV_WindowColor_Sample);
KOV_NAME(KOV_WindowColor_Size);
KOV_NAME(KOV_WindowColor_Slot);
KOV_NAME(KOV_WindowColor_Status);

// WindowContact
KOV_NAME(KOV_WindowContact);
KOV_NAME(KOV_WindowContact_ContactList);
KOV_NAME(KOV_WindowContact_Rn);
KOV_NAME(KOV_WindowContact_Selected);

// WindowDoping
KOV_NAME(KOV_WindowDoping);
KOV_NAME(KOV_WindowDoping_Apply);
KOV_NAME(KOV_WindowDoping_Model);
KOV_NAME(KOV_WindowDoping_N);

// WindowIndex
KOV_NAME(KOV_WindowIndex);
KOV_NAME(KOV_WindowIndex_LayerList);
KOV_NAME(KOV_WindowIndex_LayerSelected);

// WindowInput
KOV_NAME(KOV_WindowInput_Shown);

// WindowLattice
KOV_NAME(KOV_WindowLattice);
KOV_NAME(KOV_WindowLattice_LayerSelected);
KOV_NAME(KOV_WindowLattice_OK);

// WindowLight
KOV_NAME(KOV_WindowLight);
KOV_NAME(KOV_WindowLight_AM15);
KOV_NAME(KOV_WindowLight_Apply);
KOV_NAME(KOV_WindowLight_Mono);
KOV_NAME(KOV_WindowLight_OK);
KOV_NAME(KOV_WindowLight_Sweep);

// WindowMain
KOV_NAME(KOV_WindowMain);
KOV_NAME(KOV_WindowMain_Bandgap);
KOV_NAME(KOV_WindowMain_CharSize);
KOV_NAME(KOV_WindowMain_Doping);
KOV_NAME(KOV_WindowMain_LayerDoping);
KOV_NAME(KOV_WindowMain_LayerIndex);
KOV_NAME(KOV_WindowMain_LayerList);
KOV_NAME(KOV_WindowMain_LayerMobility);
KOV_NAME(KOV_WindowMain_LayerParam);
KOV_NAME(KOV_WindowMain_LightAM15);
KOV_NAME(KOV_WindowMain_LightFile);
KOV_NAME(KOV_WindowMain_LightMono);
KOV_NAME(KOV_WindowMain_LightSweep);
KOV_NAME(KOV_WindowMain_Menu);
KOV_NAME(KOV_WindowMain_Menubar);
KOV_NAME(KOV_WindowMain_Status);
KOV_NAME(KOV_WindowMain_Thickness);
KOV_NAME(KOV_WindowMain_VoltageEnd);
KOV_NAME(KOV_WindowMain_VoltageStart);
KOV_NAME(KOV_WindowMain_VoltageStep);
KOV_NAME(KOV_WindowMain_VoltageSweep);

// WindowMainBox
KOV_NAME(KOV_WindowMainBox);

// WindowMainClosing
KOV_NAME(KOV_WindowMainClosing);

// WindowMainFileOpening
KOV_NAME(KOV_WindowMainFileOpening);

// WindowMainVBox
KOV_NAME(KOV_WindowMainVBox);

// WindowMaterial
KOV_NAME(KOV_WindowMaterial);
KOV_NAME(KOV_WindowMaterial_);
KOV_NAME(KOV_WindowMaterial_Affinity);
KOV_NAME(KOV_WindowMaterial_AffinityBowing);
KOV_NAME(KOV_WindowMaterial_Bandgap);
KOV_NAME(KOV_WindowMaterial_BandgapBowing);
KOV_NAME(KOV_WindowMaterial_CompositionX);
KOV_NAME(KOV_WindowMaterial_MaterialList);
KOV_NAME(KOV_WindowMaterial_OK);
KOV_NAME(KOV_WindowMaterial_Permittivity);

// WindowMobility
KOV_NAME(KOV_WindowMobility);
KOV_NAME(KOV_WindowMobility_LayerSelected);
KOV_NAME(KOV_WindowMobility_N);
KOV_NAME(KOV_WindowMobility_OK);

// WindowNumeric
KOV_NAME(KOV_WindowNumeric);
KOV_NAME(KOV_WindowNumeric_LayerSelected);
KOV_NAME(KOV_WindowNumeric_MeshSelected);

// WindowParam
KOV_NAME(KOV_WindowParam);
KOV_NAME(KOV_WindowParam_Label);
KOV_NAME(KOV_WindowParam_LayerList);
KOV_NAME(KOV_WindowParam_LayerSelected);
KOV_NAME(KOV_WindowParam_OK);
KOV_NAME(KOV_WindowParam_Thickness);

// WindowPopupShown
KOV_NAME(KOV_WindowPopupShown);

// WindowTemperature
KOV_NAME(KOV_WindowTemperature);

// WindowTrap
KOV_NAME(KOV_WindowTrap);
KOV_NAME(KOV_WindowTrap_);
KOV_NAME(KOV_WindowTrap_Apply);
KOV_NAME(KOV_WindowTrap_CountList);
KOV_NAME(KOV_WindowTrap_LayerList);
KOV_NAME(KOV_WindowTrap_LayerSelected);
KOV_NAME(KOV_WindowTrap_N);
KOV_NAME(KOV_WindowTrap_TrapSelected);

// WindowUrbach
KOV_NAME(KOV_WindowUrbach);
KOV_NAME(KOV_WindowUrbach_LayerSelected);

// WindowVariable
KOV_NAME(KOV_WindowVariable);
KOV_NAME(KOV_WindowVariable_Add);
KOV_NAME(KOV_WindowVariable_Selected);

// WindowVoltage
KOV_NAME(KOV_WindowVoltage);
KOV_NAME(KOV_WindowVoltage_End);
KOV_NAME(KOV_WindowVoltage_Jsup);
KOV_NAME(KOV_WindowVoltage_OK);
KOV_NAME(KOV_WindowVoltage_Sweep);

// argvFilename
KOV_NAME(KOV_argvFilename);

// Numbered families: the name is written with snprintf and the number.
inline constexpr char KOV_FileRecent_FORMAT[] = "KOV_FileRecent%02d";
inline constexpr char KOV_Template_FORMAT[] = "KOV_Template%02d";
inline constexpr char KOV_Example_FORMAT[] = "KOV_Example%02d";
