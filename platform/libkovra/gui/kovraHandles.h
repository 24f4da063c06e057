// kovraHandles.h: every name the GUI programs find elements and program data
// by: IupSetHandle/IupGetHandle handles, attributes and globals under a
// "KOV_" name. Handles live in one name space shared by the editor, the
// calculator and libkovra's dialogs, so they are written once here; a
// misspelt name then fails to compile instead of finding nothing when the
// program runs. Each constant is spelt as the name it holds.
#pragma once

// Actionbar
inline constexpr char KOV_Actionbar[] = "KOV_Actionbar";
inline constexpr char KOV_Actionbar_Btn_Contact[] = "KOV_Actionbar_Btn_Contact";
inline constexpr char KOV_Actionbar_Btn_Copy[] = "KOV_Actionbar_Btn_Copy";
inline constexpr char KOV_Actionbar_Btn_Cut[] = "KOV_Actionbar_Btn_Cut";
inline constexpr char KOV_Actionbar_Btn_Delete[] = "KOV_Actionbar_Btn_Delete";
inline constexpr char KOV_Actionbar_Btn_Doping[] = "KOV_Actionbar_Btn_Doping";
inline constexpr char KOV_Actionbar_Btn_Index[] = "KOV_Actionbar_Btn_Index";
inline constexpr char KOV_Actionbar_Btn_Insert[] = "KOV_Actionbar_Btn_Insert";
inline constexpr char KOV_Actionbar_Btn_Light[] = "KOV_Actionbar_Btn_Light";
inline constexpr char KOV_Actionbar_Btn_Mobility[] = "KOV_Actionbar_Btn_Mobility";
inline constexpr char KOV_Actionbar_Btn_New[] = "KOV_Actionbar_Btn_New";
inline constexpr char KOV_Actionbar_Btn_Open[] = "KOV_Actionbar_Btn_Open";
inline constexpr char KOV_Actionbar_Btn_Paste[] = "KOV_Actionbar_Btn_Paste";
inline constexpr char KOV_Actionbar_Btn_Plot[] = "KOV_Actionbar_Btn_Plot";
inline constexpr char KOV_Actionbar_Btn_Reset[] = "KOV_Actionbar_Btn_Reset";
inline constexpr char KOV_Actionbar_Btn_Run[] = "KOV_Actionbar_Btn_Run";
inline constexpr char KOV_Actionbar_Btn_Save[] = "KOV_Actionbar_Btn_Save";
inline constexpr char KOV_Actionbar_Btn_Stop[] = "KOV_Actionbar_Btn_Stop";
inline constexpr char KOV_Actionbar_Btn_Tools[] = "KOV_Actionbar_Btn_Tools";
inline constexpr char KOV_Actionbar_Btn_Trap[] = "KOV_Actionbar_Btn_Trap";
inline constexpr char KOV_Actionbar_Btn_Variable[] = "KOV_Actionbar_Btn_Variable";
inline constexpr char KOV_Actionbar_Btn_Voltage[] = "KOV_Actionbar_Btn_Voltage";
inline constexpr char KOV_Actionbar_Info[] = "KOV_Actionbar_Info";
inline constexpr char KOV_Actionbar_Toolbar[] = "KOV_Actionbar_Toolbar";

// AppDir
inline constexpr char KOV_AppDir[] = "KOV_AppDir";

// BinDir
inline constexpr char KOV_BinDir[] = "KOV_BinDir";

// Caption
inline constexpr char KOV_Caption[] = "KOV_Caption";

// CentralSplitBox
inline constexpr char KOV_CentralSplitBox[] = "KOV_CentralSplitBox";

// ChildReaper
inline constexpr char KOV_ChildReaper[] = "KOV_ChildReaper";

// ColorBack
inline constexpr char KOV_ColorBack[] = "KOV_ColorBack";

// ColorDefault
inline constexpr char KOV_ColorDefault[] = "KOV_ColorDefault";

// ColorSelection
inline constexpr char KOV_ColorSelection[] = "KOV_ColorSelection";

// ColorSelectionMotion
inline constexpr char KOV_ColorSelectionMotion[] = "KOV_ColorSelectionMotion";

// ColorSeparator
inline constexpr char KOV_ColorSeparator[] = "KOV_ColorSeparator";

// ConfigFilename
inline constexpr char KOV_ConfigFilename[] = "KOV_ConfigFilename";

// ConfigFilenameLocal
inline constexpr char KOV_ConfigFilenameLocal[] = "KOV_ConfigFilenameLocal";

// Console
inline constexpr char KOV_Console[] = "KOV_Console";

// DeviceCanvas
inline constexpr char KOV_DeviceCanvas[] = "KOV_DeviceCanvas";

// DeviceContact
inline constexpr char KOV_DeviceContact[] = "KOV_DeviceContact";

// DeviceLayerDelete
inline constexpr char KOV_DeviceLayerDelete[] = "KOV_DeviceLayerDelete";

// DeviceLayerDoping
inline constexpr char KOV_DeviceLayerDoping[] = "KOV_DeviceLayerDoping";

// DeviceLayerIndex
inline constexpr char KOV_DeviceLayerIndex[] = "KOV_DeviceLayerIndex";

// DeviceLayerInsert
inline constexpr char KOV_DeviceLayerInsert[] = "KOV_DeviceLayerInsert";

// DeviceLayerLattice
inline constexpr char KOV_DeviceLayerLattice[] = "KOV_DeviceLayerLattice";

// DeviceLayerMaterial
inline constexpr char KOV_DeviceLayerMaterial[] = "KOV_DeviceLayerMaterial";

// DeviceLayerMobility
inline constexpr char KOV_DeviceLayerMobility[] = "KOV_DeviceLayerMobility";

// DeviceLayerMoveDown
inline constexpr char KOV_DeviceLayerMoveDown[] = "KOV_DeviceLayerMoveDown";

// DeviceLayerMoveUp
inline constexpr char KOV_DeviceLayerMoveUp[] = "KOV_DeviceLayerMoveUp";

// DeviceLayerParam
inline constexpr char KOV_DeviceLayerParam[] = "KOV_DeviceLayerParam";

// DeviceLayerTrap
inline constexpr char KOV_DeviceLayerTrap[] = "KOV_DeviceLayerTrap";

// DeviceLayerUrbach
inline constexpr char KOV_DeviceLayerUrbach[] = "KOV_DeviceLayerUrbach";

// DeviceLayerVariable
inline constexpr char KOV_DeviceLayerVariable[] = "KOV_DeviceLayerVariable";

// DeviceName
inline constexpr char KOV_DeviceName[] = "KOV_DeviceName";

// DeviceTemperature
inline constexpr char KOV_DeviceTemperature[] = "KOV_DeviceTemperature";

// Dialog
inline constexpr char KOV_Dialog[] = "KOV_Dialog";

// DialogSpec
inline constexpr char KOV_DialogSpec[] = "KOV_DialogSpec";

// DocDir
inline constexpr char KOV_DocDir[] = "KOV_DocDir";

// EditCopy
inline constexpr char KOV_EditCopy[] = "KOV_EditCopy";

// EditCut
inline constexpr char KOV_EditCut[] = "KOV_EditCut";

// EditPaste
inline constexpr char KOV_EditPaste[] = "KOV_EditPaste";

// EditReset
inline constexpr char KOV_EditReset[] = "KOV_EditReset";

// Example00
inline constexpr char KOV_Example00[] = "KOV_Example00";

// Example01
inline constexpr char KOV_Example01[] = "KOV_Example01";

// Example02
inline constexpr char KOV_Example02[] = "KOV_Example02";

// Example03
inline constexpr char KOV_Example03[] = "KOV_Example03";

// ExampleId
inline constexpr char KOV_ExampleId[] = "KOV_ExampleId";

// ExcitationLight
inline constexpr char KOV_ExcitationLight[] = "KOV_ExcitationLight";

// ExcitationVoltage
inline constexpr char KOV_ExcitationVoltage[] = "KOV_ExcitationVoltage";

// ExpDir
inline constexpr char KOV_ExpDir[] = "KOV_ExpDir";

// FileDefault
inline constexpr char KOV_FileDefault[] = "KOV_FileDefault";

// FileDefaultReset
inline constexpr char KOV_FileDefaultReset[] = "KOV_FileDefaultReset";

// FileExit
inline constexpr char KOV_FileExit[] = "KOV_FileExit";

// FileNew
inline constexpr char KOV_FileNew[] = "KOV_FileNew";

// FileOpen
inline constexpr char KOV_FileOpen[] = "KOV_FileOpen";

// FileRecent00
inline constexpr char KOV_FileRecent00[] = "KOV_FileRecent00";

// FileRecent01
inline constexpr char KOV_FileRecent01[] = "KOV_FileRecent01";

// FileRecent02
inline constexpr char KOV_FileRecent02[] = "KOV_FileRecent02";

// FileRecent12
inline constexpr char KOV_FileRecent12[] = "KOV_FileRecent12";

// FileReload
inline constexpr char KOV_FileReload[] = "KOV_FileReload";

// FileReopen
inline constexpr char KOV_FileReopen[] = "KOV_FileReopen";

// FileSave
inline constexpr char KOV_FileSave[] = "KOV_FileSave";

// FileSaveAs
inline constexpr char KOV_FileSaveAs[] = "KOV_FileSaveAs";

// FuncList
inline constexpr char KOV_FuncList[] = "KOV_FuncList";

// HelpAbout
inline constexpr char KOV_HelpAbout[] = "KOV_HelpAbout";

// HelpContents
inline constexpr char KOV_HelpContents[] = "KOV_HelpContents";

// HelpFilenameLua
inline constexpr char KOV_HelpFilenameLua[] = "KOV_HelpFilenameLua";

// HelpFilenameSimulator
inline constexpr char KOV_HelpFilenameSimulator[] = "KOV_HelpFilenameSimulator";

// HelpUpdate
inline constexpr char KOV_HelpUpdate[] = "KOV_HelpUpdate";

// Image
inline constexpr char KOV_Image_[] = "KOV_Image_";

// IndexSource
inline constexpr char KOV_IndexSource[] = "KOV_IndexSource";

// KovraTool
inline constexpr char KOV_KovraTool_KovraCalc[] = "KOV_KovraTool_KovraCalc";
inline constexpr char KOV_KovraTool_KovraDatabase[] = "KOV_KovraTool_KovraDatabase";
inline constexpr char KOV_KovraTool_KovraEdit[] = "KOV_KovraTool_KovraEdit";
inline constexpr char KOV_KovraTool_KovraPlot[] = "KOV_KovraTool_KovraPlot";

// LoadedText
inline constexpr char KOV_LoadedText[] = "KOV_LoadedText";

// MainButtonH
inline constexpr char KOV_MainButtonH[] = "KOV_MainButtonH";

// MainButtonW
inline constexpr char KOV_MainButtonW[] = "KOV_MainButtonW";

// Numpad
inline constexpr char KOV_Numpad[] = "KOV_Numpad";

// OptionsColorizeEg
inline constexpr char KOV_OptionsColorizeEg[] = "KOV_OptionsColorizeEg";

// OptionsColorizeMesh
inline constexpr char KOV_OptionsColorizeMesh[] = "KOV_OptionsColorizeMesh";

// OptionsColorizeN
inline constexpr char KOV_OptionsColorizeN[] = "KOV_OptionsColorizeN";

// OptionsColorizeNone
inline constexpr char KOV_OptionsColorizeNone[] = "KOV_OptionsColorizeNone";

// OptionsColors
inline constexpr char KOV_OptionsColors[] = "KOV_OptionsColors";

// OptionsDirDate
inline constexpr char KOV_OptionsDirDate[] = "KOV_OptionsDirDate";

// OptionsHighlight
inline constexpr char KOV_OptionsHighlight[] = "KOV_OptionsHighlight";

// OptionsNumeric
inline constexpr char KOV_OptionsNumeric[] = "KOV_OptionsNumeric";

// OptionsOutDir
inline constexpr char KOV_OptionsOutDir[] = "KOV_OptionsOutDir";

// OptionsPlot
inline constexpr char KOV_OptionsPlot[] = "KOV_OptionsPlot";

// OptionsSaveFull
inline constexpr char KOV_OptionsSaveFull[] = "KOV_OptionsSaveFull";

// Output
inline constexpr char KOV_Output[] = "KOV_Output";

// OutputActionbar
inline constexpr char KOV_OutputActionbar[] = "KOV_OutputActionbar";

// OutputHbox
inline constexpr char KOV_OutputHbox[] = "KOV_OutputHbox";

// OutputReset
inline constexpr char KOV_OutputReset[] = "KOV_OutputReset";

// OutputVbox
inline constexpr char KOV_OutputVbox[] = "KOV_OutputVbox";

// PreviousCaretPos
inline constexpr char KOV_PreviousCaretPos[] = "KOV_PreviousCaretPos";

// RecentFilename
inline constexpr char KOV_RecentFilename[] = "KOV_RecentFilename";

// Record
inline constexpr char KOV_Record[] = "KOV_Record";

// RightBox
inline constexpr char KOV_RightBox[] = "KOV_RightBox";

// RunClear
inline constexpr char KOV_RunClear[] = "KOV_RunClear";

// RunPlot
inline constexpr char KOV_RunPlot[] = "KOV_RunPlot";

// RunRun
inline constexpr char KOV_RunRun[] = "KOV_RunRun";

// RunStop
inline constexpr char KOV_RunStop[] = "KOV_RunStop";

// RunnerHost
inline constexpr char KOV_RunnerHost[] = "KOV_RunnerHost";

// RunnerTimer
inline constexpr char KOV_RunnerTimer[] = "KOV_RunnerTimer";

// Statusbar
inline constexpr char KOV_Statusbar[] = "KOV_Statusbar";
inline constexpr char KOV_Statusbar_Pane0[] = "KOV_Statusbar_Pane0";
inline constexpr char KOV_Statusbar_Pane1[] = "KOV_Statusbar_Pane1";

// Template01
inline constexpr char KOV_Template01[] = "KOV_Template01";

// Template02
inline constexpr char KOV_Template02[] = "KOV_Template02";

// TemplateId
inline constexpr char KOV_TemplateId[] = "KOV_TemplateId";

// Value
inline constexpr char KOV_Value[] = "KOV_Value";

// ViewActionbar
inline constexpr char KOV_ViewActionbar[] = "KOV_ViewActionbar";

// ViewNumpad
inline constexpr char KOV_ViewNumpad[] = "KOV_ViewNumpad";

// ViewStatusbar
inline constexpr char KOV_ViewStatusbar[] = "KOV_ViewStatusbar";

// ViewTop
inline constexpr char KOV_ViewTop[] = "KOV_ViewTop";

// ViewZoomIn
inline constexpr char KOV_ViewZoomIn[] = "KOV_ViewZoomIn";

// ViewZoomNormal
inline constexpr char KOV_ViewZoomNormal[] = "KOV_ViewZoomNormal";

// ViewZoomOut
inline constexpr char KOV_ViewZoomOut[] = "KOV_ViewZoomOut";

// WindowAbout
inline constexpr char KOV_WindowAbout[] = "KOV_WindowAbout";
inline constexpr char KOV_WindowAbout_OK[] = "KOV_WindowAbout_OK";

// WindowColor
inline constexpr char KOV_WindowColor[] = "KOV_WindowColor";
inline constexpr char KOV_WindowColor_Apply[] = "KOV_WindowColor_Apply";
inline constexpr char KOV_WindowColor_Back[] = "KOV_WindowColor_Back";
inline constexpr char KOV_WindowColor_Bold[] = "KOV_WindowColor_Bold";
inline constexpr char KOV_WindowColor_Cancel[] = "KOV_WindowColor_Cancel";
inline constexpr char KOV_WindowColor_Font[] = "KOV_WindowColor_Font";
inline constexpr char KOV_WindowColor_Fore[] = "KOV_WindowColor_Fore";
inline constexpr char KOV_WindowColor_Italic[] = "KOV_WindowColor_Italic";
inline constexpr char KOV_WindowColor_OK[] = "KOV_WindowColor_OK";
inline constexpr char KOV_WindowColor_Sample[] = "KOV_WindowColor_Sample";
inline constexpr char KOV_WindowColor_Size[] = "KOV_WindowColor_Size";
inline constexpr char KOV_WindowColor_Slot[] = "KOV_WindowColor_Slot";
inline constexpr char KOV_WindowColor_Status[] = "KOV_WindowColor_Status";

// WindowContact
inline constexpr char KOV_WindowContact[] = "KOV_WindowContact";
inline constexpr char KOV_WindowContact_ContactList[] = "KOV_WindowContact_ContactList";
inline constexpr char KOV_WindowContact_Rn[] = "KOV_WindowContact_Rn";
inline constexpr char KOV_WindowContact_Selected[] = "KOV_WindowContact_Selected";

// WindowDoping
inline constexpr char KOV_WindowDoping[] = "KOV_WindowDoping";
inline constexpr char KOV_WindowDoping_Apply[] = "KOV_WindowDoping_Apply";
inline constexpr char KOV_WindowDoping_Model[] = "KOV_WindowDoping_Model";
inline constexpr char KOV_WindowDoping_N[] = "KOV_WindowDoping_N";

// WindowIndex
inline constexpr char KOV_WindowIndex[] = "KOV_WindowIndex";
inline constexpr char KOV_WindowIndex_LayerList[] = "KOV_WindowIndex_LayerList";
inline constexpr char KOV_WindowIndex_LayerSelected[] = "KOV_WindowIndex_LayerSelected";

// WindowInput
inline constexpr char KOV_WindowInput_Shown[] = "KOV_WindowInput_Shown";

// WindowLattice
inline constexpr char KOV_WindowLattice[] = "KOV_WindowLattice";
inline constexpr char KOV_WindowLattice_LayerSelected[] = "KOV_WindowLattice_LayerSelected";
inline constexpr char KOV_WindowLattice_OK[] = "KOV_WindowLattice_OK";

// WindowLight
inline constexpr char KOV_WindowLight[] = "KOV_WindowLight";
inline constexpr char KOV_WindowLight_AM15[] = "KOV_WindowLight_AM15";
inline constexpr char KOV_WindowLight_Apply[] = "KOV_WindowLight_Apply";
inline constexpr char KOV_WindowLight_Mono[] = "KOV_WindowLight_Mono";
inline constexpr char KOV_WindowLight_OK[] = "KOV_WindowLight_OK";
inline constexpr char KOV_WindowLight_Sweep[] = "KOV_WindowLight_Sweep";

// WindowMain
inline constexpr char KOV_WindowMain[] = "KOV_WindowMain";
inline constexpr char KOV_WindowMain_Bandgap[] = "KOV_WindowMain_Bandgap";
inline constexpr char KOV_WindowMain_CharSize[] = "KOV_WindowMain_CharSize";
inline constexpr char KOV_WindowMain_Doping[] = "KOV_WindowMain_Doping";
inline constexpr char KOV_WindowMain_LayerDoping[] = "KOV_WindowMain_LayerDoping";
inline constexpr char KOV_WindowMain_LayerIndex[] = "KOV_WindowMain_LayerIndex";
inline constexpr char KOV_WindowMain_LayerList[] = "KOV_WindowMain_LayerList";
inline constexpr char KOV_WindowMain_LayerMobility[] = "KOV_WindowMain_LayerMobility";
inline constexpr char KOV_WindowMain_LayerParam[] = "KOV_WindowMain_LayerParam";
inline constexpr char KOV_WindowMain_LightAM15[] = "KOV_WindowMain_LightAM15";
inline constexpr char KOV_WindowMain_LightFile[] = "KOV_WindowMain_LightFile";
inline constexpr char KOV_WindowMain_LightMono[] = "KOV_WindowMain_LightMono";
inline constexpr char KOV_WindowMain_LightSweep[] = "KOV_WindowMain_LightSweep";
inline constexpr char KOV_WindowMain_Menu[] = "KOV_WindowMain_Menu";
inline constexpr char KOV_WindowMain_Menubar[] = "KOV_WindowMain_Menubar";
inline constexpr char KOV_WindowMain_Status[] = "KOV_WindowMain_Status";
inline constexpr char KOV_WindowMain_Thickness[] = "KOV_WindowMain_Thickness";
inline constexpr char KOV_WindowMain_VoltageEnd[] = "KOV_WindowMain_VoltageEnd";
inline constexpr char KOV_WindowMain_VoltageStart[] = "KOV_WindowMain_VoltageStart";
inline constexpr char KOV_WindowMain_VoltageStep[] = "KOV_WindowMain_VoltageStep";
inline constexpr char KOV_WindowMain_VoltageSweep[] = "KOV_WindowMain_VoltageSweep";

// WindowMainBox
inline constexpr char KOV_WindowMainBox[] = "KOV_WindowMainBox";

// WindowMainClosing
inline constexpr char KOV_WindowMainClosing[] = "KOV_WindowMainClosing";

// WindowMainFileOpening
inline constexpr char KOV_WindowMainFileOpening[] = "KOV_WindowMainFileOpening";

// WindowMainVBox
inline constexpr char KOV_WindowMainVBox[] = "KOV_WindowMainVBox";

// WindowMaterial
inline constexpr char KOV_WindowMaterial[] = "KOV_WindowMaterial";
inline constexpr char KOV_WindowMaterial_[] = "KOV_WindowMaterial_";
inline constexpr char KOV_WindowMaterial_Affinity[] = "KOV_WindowMaterial_Affinity";
inline constexpr char KOV_WindowMaterial_AffinityBowing[] = "KOV_WindowMaterial_AffinityBowing";
inline constexpr char KOV_WindowMaterial_Bandgap[] = "KOV_WindowMaterial_Bandgap";
inline constexpr char KOV_WindowMaterial_BandgapBowing[] = "KOV_WindowMaterial_BandgapBowing";
inline constexpr char KOV_WindowMaterial_CompositionX[] = "KOV_WindowMaterial_CompositionX";
inline constexpr char KOV_WindowMaterial_MaterialList[] = "KOV_WindowMaterial_MaterialList";
inline constexpr char KOV_WindowMaterial_OK[] = "KOV_WindowMaterial_OK";
inline constexpr char KOV_WindowMaterial_Permittivity[] = "KOV_WindowMaterial_Permittivity";

// WindowMobility
inline constexpr char KOV_WindowMobility[] = "KOV_WindowMobility";
inline constexpr char KOV_WindowMobility_LayerSelected[] = "KOV_WindowMobility_LayerSelected";
inline constexpr char KOV_WindowMobility_N[] = "KOV_WindowMobility_N";
inline constexpr char KOV_WindowMobility_OK[] = "KOV_WindowMobility_OK";

// WindowNumeric
inline constexpr char KOV_WindowNumeric[] = "KOV_WindowNumeric";
inline constexpr char KOV_WindowNumeric_LayerSelected[] = "KOV_WindowNumeric_LayerSelected";
inline constexpr char KOV_WindowNumeric_MeshSelected[] = "KOV_WindowNumeric_MeshSelected";

// WindowParam
inline constexpr char KOV_WindowParam[] = "KOV_WindowParam";
inline constexpr char KOV_WindowParam_Label[] = "KOV_WindowParam_Label";
inline constexpr char KOV_WindowParam_LayerList[] = "KOV_WindowParam_LayerList";
inline constexpr char KOV_WindowParam_LayerSelected[] = "KOV_WindowParam_LayerSelected";
inline constexpr char KOV_WindowParam_OK[] = "KOV_WindowParam_OK";
inline constexpr char KOV_WindowParam_Thickness[] = "KOV_WindowParam_Thickness";

// WindowPopupShown
inline constexpr char KOV_WindowPopupShown[] = "KOV_WindowPopupShown";

// WindowTemperature
inline constexpr char KOV_WindowTemperature[] = "KOV_WindowTemperature";

// WindowTrap
inline constexpr char KOV_WindowTrap[] = "KOV_WindowTrap";
inline constexpr char KOV_WindowTrap_[] = "KOV_WindowTrap_";
inline constexpr char KOV_WindowTrap_Apply[] = "KOV_WindowTrap_Apply";
inline constexpr char KOV_WindowTrap_CountList[] = "KOV_WindowTrap_CountList";
inline constexpr char KOV_WindowTrap_LayerList[] = "KOV_WindowTrap_LayerList";
inline constexpr char KOV_WindowTrap_LayerSelected[] = "KOV_WindowTrap_LayerSelected";
inline constexpr char KOV_WindowTrap_N[] = "KOV_WindowTrap_N";
inline constexpr char KOV_WindowTrap_TrapSelected[] = "KOV_WindowTrap_TrapSelected";

// WindowUrbach
inline constexpr char KOV_WindowUrbach[] = "KOV_WindowUrbach";
inline constexpr char KOV_WindowUrbach_LayerSelected[] = "KOV_WindowUrbach_LayerSelected";

// WindowVariable
inline constexpr char KOV_WindowVariable[] = "KOV_WindowVariable";
inline constexpr char KOV_WindowVariable_Add[] = "KOV_WindowVariable_Add";
inline constexpr char KOV_WindowVariable_Selected[] = "KOV_WindowVariable_Selected";

// WindowVoltage
inline constexpr char KOV_WindowVoltage[] = "KOV_WindowVoltage";
inline constexpr char KOV_WindowVoltage_End[] = "KOV_WindowVoltage_End";
inline constexpr char KOV_WindowVoltage_Jsup[] = "KOV_WindowVoltage_Jsup";
inline constexpr char KOV_WindowVoltage_OK[] = "KOV_WindowVoltage_OK";
inline constexpr char KOV_WindowVoltage_Sweep[] = "KOV_WindowVoltage_Sweep";

// argvFilename
inline constexpr char KOV_argvFilename[] = "KOV_argvFilename";

// Numbered families: the name is written with snprintf and the number.
inline constexpr char KOV_FileRecent_FORMAT[] = "KOV_FileRecent%02d";
inline constexpr char KOV_Template_FORMAT[] = "KOV_Template%02d";
inline constexpr char KOV_Example_FORMAT[] = "KOV_Example%02d";
