#include "text/tool_texts.h"

#include <array>
#include <string_view>

#include "text/message_table.h"

namespace torvane {
namespace {

struct ToolTextRow {
    ToolText id;
    std::array<std::string_view, LanguageCount> text;  // English, German, French, Czech
};

// The menu bar's mnemonics are taken per language by the window's own menus: the French A and I belong
// to "&Allumage" and "A&ide", the Czech Z to "&Zapalování". Captions that open a question end in "..." in
// every language; the question's title is the caption without it.
constexpr ToolTextRow kRows[] = {
    {ToolText::MenuOpenDatalog,
     {"Open datalog...", "Datalog öffnen...", "Ouvrir un enregistrement...", "Otevřít záznam..."}},
    {ToolText::MenuStartDatalog,
     {"Start datalog...", "Datalog starten...", "Démarrer l'enregistrement...", "Spustit záznam..."}},
    {ToolText::MenuStopDatalog,
     {"Stop datalog", "Datalog beenden", "Arrêter l'enregistrement", "Zastavit záznam"}},
    {ToolText::MenuFastMonitor,
     {"Fast monitor", "Schnelle Überwachung", "Surveillance rapide", "Rychlé sledování"}},
    {ToolText::MenuCells, {"Cells", "Zellen", "Cellules", "Buňky"}},
    {ToolText::MenuView, {"&View", "&Ansicht", "Affic&hage", "Z&obrazení"}},
    {ToolText::MenuShadeCells,
     {"Colour cells by value", "Zellen nach Wert einfärben", "Colorer les cellules selon la valeur",
      "Obarvit buňky podle hodnoty"}},
    {ToolText::MenuMapChart,
     {"Map rows chart", "Diagramm der Kennfeldzeilen", "Graphique des lignes de la cartographie",
      "Graf řádků mapy"}},
    {ToolText::MenuMapSurface,
     {"Map surface", "Kennfeld als 3D-Fläche", "Cartographie en surface 3D", "Mapa jako 3D plocha"}},

    {ToolText::CellsSet, {"Set to...", "Setzen auf...", "Fixer à...", "Nastavit na..."}},
    {ToolText::CellsSetQuestion,
     {"Value of the cells:", "Wert der Zellen:", "Valeur des cellules :", "Hodnota buněk:"}},
    {ToolText::CellsAdd, {"Add...", "Addieren...", "Ajouter...", "Přičíst..."}},
    {ToolText::CellsAddQuestion,
     {"Add to the cells (negative subtracts):", "Zu den Zellen addieren (negativ subtrahiert):",
      "Ajouter aux cellules (une valeur négative soustrait) :", "Přičíst k buňkám (záporné číslo odečítá):"}},
    {ToolText::CellsScale,
     {"Scale by percent...", "Prozentual skalieren...", "Multiplier en pourcentage...",
      "Změnit v procentech..."}},
    {ToolText::CellsScaleQuestion,
     {"Scale the cells to percent of their value:", "Zellen auf Prozent ihres Werts skalieren:",
      "Ramener les cellules à ce pourcentage de leur valeur :", "Změnit buňky na procento jejich hodnoty:"}},
    {ToolText::CellsInterpolateRows,
     {"Interpolate along rows", "Entlang der Zeilen interpolieren", "Interpoler le long des lignes",
      "Interpolovat po řádcích"}},
    {ToolText::CellsInterpolateColumns,
     {"Interpolate along columns", "Entlang der Spalten interpolieren", "Interpoler le long des colonnes",
      "Interpolovat po sloupcích"}},
    {ToolText::CellsInterpolateBoth,
     {"Interpolate between the corners", "Zwischen den Ecken interpolieren", "Interpoler entre les coins",
      "Interpolovat mezi rohy"}},
    {ToolText::CellsSmooth, {"Smooth", "Glätten", "Lisser", "Vyhladit"}},

    {ToolText::DatalogFilter,
     {"Datalogs (*.csv);;All files (*)", "Datalogs (*.csv);;Alle Dateien (*)",
      "Enregistrements (*.csv);;Tous les fichiers (*)", "Záznamy (*.csv);;Všechny soubory (*)"}},
    {ToolText::RecordingLabel,
     {"Recording datalog %1: %2 frames", "Aufzeichnung %1: %2 Datensätze", "Enregistrement %1 : %2 trames",
      "Nahrává se %1 (snímků: %2)"}},
    {ToolText::CannotRecord,
     {"The datalog cannot be written:\n%1", "Das Datalog kann nicht geschrieben werden:\n%1",
      "Impossible d'écrire l'enregistrement :\n%1", "Záznam nelze zapsat:\n%1"}},
    {ToolText::RecordingStopped,
     {"Recording stopped: the datalog cannot be written any more (%1 frames kept in %2).",
      "Aufzeichnung beendet: Das Datalog kann nicht mehr geschrieben werden (%1 Datensätze in %2 erhalten).",
      "Enregistrement arrêté : le fichier ne peut plus être écrit (%1 trames conservées dans %2).",
      "Záznam zastaven: do souboru již nelze zapisovat (v %2 zůstalo snímků: %1)."}},
    {ToolText::CannotReadLog,
     {"The datalog cannot be read:\n%1", "Das Datalog kann nicht gelesen werden:\n%1",
      "Impossible de lire l'enregistrement :\n%1", "Záznam nelze přečíst:\n%1"}},
    {ToolText::SkippedLogLines,
     {"%1 lines of the datalog were not rows of numbers and were left out.",
      "%1 Zeilen des Datalogs enthielten keine Zahlen und wurden übersprungen.",
      "%1 lignes de l'enregistrement ne contenaient pas de valeurs numériques et ont été ignorées.",
      "Řádky záznamu, které neobsahovaly čísla, byly vynechány (počet: %1)."}},
    {ToolText::NoMapPage,
     {"Show a map page first.", "Zuerst eine Kennfeldseite anzeigen.",
      "Affichez d'abord une page de cartographie.", "Nejprve zobrazte stránku s mapou."}},
    {ToolText::NoCellsChosen,
     {"Choose cells first: drag over them with the mouse, Shift+click, or Shift+arrow keys.",
      "Zuerst Zellen wählen: mit der Maus darüberziehen, Shift+Klick oder Shift+Pfeiltasten.",
      "Sélectionnez d'abord des cellules : glissez la souris dessus, Shift+clic ou Shift+flèches.",
      "Nejprve vyberte buňky: tažením myší, Shift+kliknutím nebo Shift+šipkami."}},
    {ToolText::FollowerMap,
     {"This map follows Inj-1A in the present channel mode; change Inj-1A instead.",
      "Dieses Kennfeld folgt im aktuellen Kanalmodus Inj-1A; bitte stattdessen Inj-1A ändern.",
      "Dans le mode de canaux actuel, cette cartographie suit Inj-1A ; modifiez plutôt Inj-1A.",
      "V současném režimu kanálů se tato mapa řídí mapou Inj-1A; upravte raději Inj-1A."}},
    {ToolText::NoLogOpen,
     {"Open a datalog first.", "Zuerst ein Datalog öffnen.", "Ouvrez d'abord un enregistrement.",
      "Nejprve otevřete záznam."}},
    {ToolText::CellHitsTitle,
     {"Cell hits - %1", "Zellentreffer - %1", "Passages par cellule - %1", "Četnost v buňkách - %1"}},
    {ToolText::CellHitsFooter,
     {"%1 frames, %2 of them on no cell of this map.",
      "%1 Datensätze, davon %2 außerhalb der Zellen dieses Kennfelds.",
      "%1 trames, dont %2 hors des cellules de cette cartographie.",
      "Snímků: %1, z toho mimo buňky této mapy: %2."}},
    {ToolText::NoSurface,
     {"The 3D surface cannot be shown here:\n%1", "Die 3D-Fläche kann hier nicht angezeigt werden:\n%1",
      "La surface 3D ne peut pas être affichée ici :\n%1", "3D plochu zde nelze zobrazit:\n%1"}},

    {ToolText::ViewerTitleNoLog, {"Datalog", "Datalog", "Enregistrement", "Záznam"}},
    {ToolText::ViewerTitle, {"Datalog - %1", "Datalog - %1", "Enregistrement - %1", "Záznam - %1"}},
    {ToolText::ViewerPlay, {"Play", "Abspielen", "Lecture", "Přehrát"}},
    {ToolText::ViewerPause, {"Pause", "Pause", "Pause", "Pozastavit"}},
    {ToolText::ViewerStep, {"Step", "Schritt vor", "Avancer", "Krok vpřed"}},
    {ToolText::ViewerStepBack, {"Step back", "Schritt zurück", "Reculer", "Krok zpět"}},
    {ToolText::ViewerSpeed, {"Speed", "Tempo", "Vitesse", "Rychlost"}},
    {ToolText::ViewerZoomIn, {"Zoom in", "Vergrößern", "Zoom avant", "Přiblížit"}},
    {ToolText::ViewerZoomOut, {"Zoom out", "Verkleinern", "Zoom arrière", "Oddálit"}},
    {ToolText::ViewerWholeLog, {"Whole log", "Ganzes Log", "Tout afficher", "Celý záznam"}},
    {ToolText::ViewerCellHits, {"Cell hits", "Zellentreffer", "Passages par cellule", "Četnost v buňkách"}},
    {ToolText::ViewerTimeAxis, {"Time [s]", "Zeit [s]", "Temps [s]", "Čas [s]"}},
    {ToolText::ViewerChannelHeader, {"Channel", "Kanal", "Canal", "Kanál"}},
    {ToolText::ViewerValueHeader, {"Value", "Wert", "Valeur", "Hodnota"}},
    {ToolText::ViewerUnitHeader, {"Unit", "Einheit", "Unité", "Jednotka"}},
    {ToolText::ViewerLogInfo, {"%1 rows, %2", "%1 Zeilen, %2", "%1 lignes, %2", "Řádků: %1, %2"}},
    {ToolText::ViewerSkippedLines,
     {"%1 lines skipped", "%1 Zeilen übersprungen", "%1 lignes ignorées", "vynecháno řádků: %1"}},
    {ToolText::ViewerUnnamedColumn, {"column %1", "Spalte %1", "colonne %1", "sloupec %1"}},
    {ToolText::ViewerCannotRead,
     {"The datalog cannot be read.", "Das Datalog kann nicht gelesen werden.",
      "Impossible de lire l'enregistrement.", "Záznam nelze přečíst."}},
    {ToolText::ViewerPlayTip,
     {"Replay the log at the chosen speed (Space)", "Das Log im gewählten Tempo abspielen (Space)",
      "Rejouer l'enregistrement à la vitesse choisie (Space)", "Přehrát záznam zvolenou rychlostí (Space)"}},
    {ToolText::ViewerCellHitsTip,
     {"Count the logged frames in each cell of the map shown in the main window",
      "Die aufgezeichneten Datensätze in jeder Zelle des im Hauptfenster gezeigten Kennfelds zählen",
      "Compter les trames enregistrées dans chaque cellule de la cartographie affichée dans la fenêtre "
      "principale",
      "Spočítat zaznamenané snímky v každé buňce mapy zobrazené v hlavním okně"}},
    {ToolText::ViewerPlotTip,
     {"Click: cursor; drag: pan; wheel, + and -: zoom; Home: whole log",
      "Klick: Cursor; Ziehen: verschieben; Mausrad, + und -: Zoom; Home: ganzes Log",
      "Clic : curseur ; glisser : déplacer ; molette, + et - : zoom ; Home : tout afficher",
      "Klik: kurzor; tažení: posun; kolečko, + a -: zoom; Home: celý záznam"}},

    {ToolText::ChartTitle,
     {"Map rows - %1", "Kennfeldzeilen - %1", "Lignes de la cartographie - %1", "Řádky mapy - %1"}},
    {ToolText::EngineSpeedAxis,
     {"Engine speed [1/min]", "Drehzahl [1/min]", "Régime moteur [1/min]", "Otáčky motoru [1/min]"}},
    {ToolText::ChartUnnamedRow, {"Row %1", "Zeile %1", "Ligne %1", "Řádek %1"}},
    {ToolText::ChartLiveCell, {"Live cell", "Aktuelle Zelle", "Cellule active", "Aktuální buňka"}},
    {ToolText::SurfaceTitle,
     {"Map surface - %1", "Kennfeldfläche - %1", "Surface de la cartographie - %1", "Plocha mapy - %1"}},
    {ToolText::SurfaceRowAxis, {"Row", "Zeile", "Ligne", "Řádek"}},
    {ToolText::SurfaceNoModule,
     {"This build has no 3D view: it was made without Qt Data Visualization.",
      "Diese Programmversion hat keine 3D-Ansicht: Sie wurde ohne Qt Data Visualization erstellt.",
      "Cette version n'a pas de vue 3D : elle a été compilée sans Qt Data Visualization.",
      "Tato verze nemá 3D zobrazení: byla sestavena bez Qt Data Visualization."}},
    {ToolText::SurfaceNoApplication,
     {"The 3D view needs the window's application to be running.",
      "Die 3D-Ansicht braucht die laufende Anwendung des Fensters.",
      "La vue 3D nécessite que l'application de la fenêtre soit en cours d'exécution.",
      "3D zobrazení vyžaduje běžící aplikaci okna."}},
    {ToolText::SurfaceNoScreen,
     {"The 3D view needs a screen, and the display \"%1\" has none.",
      "Die 3D-Ansicht braucht einen Bildschirm, und die Anzeige „%1“ hat keinen.",
      "La vue 3D nécessite un écran, et l'affichage « %1 » n'en a pas.",
      "3D zobrazení vyžaduje obrazovku a displej „%1“ žádnou nemá."}},
    {ToolText::SurfaceNoContext,
     {"The 3D view needs OpenGL, and the display \"%1\" gives no OpenGL context.",
      "Die 3D-Ansicht braucht OpenGL, und die Anzeige „%1“ liefert keinen OpenGL-Kontext.",
      "La vue 3D nécessite OpenGL, et l'affichage « %1 » ne fournit pas de contexte OpenGL.",
      "3D zobrazení vyžaduje OpenGL a displej „%1“ neposkytuje kontext OpenGL."}},
    {ToolText::SurfaceNoCurrent,
     {"The 3D view needs OpenGL, and the OpenGL context of the display \"%1\" cannot draw.",
      "Die 3D-Ansicht braucht OpenGL, und der OpenGL-Kontext der Anzeige „%1“ kann nicht zeichnen.",
      "La vue 3D nécessite OpenGL, et le contexte OpenGL de l'affichage « %1 » ne peut pas dessiner.",
      "3D zobrazení vyžaduje OpenGL a kontext OpenGL displeje „%1“ nedokáže kreslit."}},
    {ToolText::SurfaceOldOpenGl,
     {"The 3D view needs OpenGL 2.1 or OpenGL ES 2.0; the display \"%1\" gives %2.%3.",
      "Die 3D-Ansicht braucht OpenGL 2.1 oder OpenGL ES 2.0; die Anzeige „%1“ liefert %2.%3.",
      "La vue 3D nécessite OpenGL 2.1 ou OpenGL ES 2.0 ; l'affichage « %1 » fournit %2.%3.",
      "3D zobrazení vyžaduje OpenGL 2.1 nebo OpenGL ES 2.0; displej „%1“ poskytuje %2.%3."}},

    {ToolText::MenuRestorePoints,
     {"Restore points...", "Wiederherstellungspunkte...", "Points de restauration...", "Body obnovení..."}},
    {ToolText::MenuUnitDifferences,
     {"Differences from the unit...", "Unterschiede zum Steuergerät...", "Différences avec le boîtier...",
      "Rozdíly oproti jednotce..."}},
    {ToolText::NotInUnitOne,
     {"Not in the unit: 1 field", "Nicht im Steuergerät: 1 Feld", "Absent du boîtier : 1 champ",
      "Není v jednotce: 1 položka"}},
    // Czech counts 2-4 and 5 and more differently: the count stands after "položek" ("number of items").
    {ToolText::NotInUnitMany,
     {"Not in the unit: %1 fields", "Nicht im Steuergerät: %1 Felder", "Absent du boîtier : %1 champs",
      "Není v jednotce: počet položek %1"}},
    {ToolText::VerifyDifferencesTitle,
     {"Verify error: the PC's value | the unit's value", "Vergleichsfehler: Wert im PC | Wert im Steuergerät",
      "Erreur de vérification : valeur du PC | valeur du boîtier",
      "Chyba verifikace: hodnota v PC | hodnota v jednotce"}},
    {ToolText::NotInUnitTitle,
     {"Not in the unit: the PC's value | the unit's value",
      "Nicht im Steuergerät: Wert im PC | Wert im Steuergerät",
      "Absent du boîtier : valeur du PC | valeur du boîtier",
      "Není v jednotce: hodnota v PC | hodnota v jednotce"}},
    {ToolText::UnitNotKnown,
     {"What the unit holds is not known yet: read or verify it first.",
      "Was das Steuergerät enthält, ist noch nicht bekannt: erst lesen oder vergleichen.",
      "Le contenu du boîtier n'est pas encore connu : lisez-le ou vérifiez-le d'abord.",
      "Obsah jednotky zatím není znám: nejprve ji přečtěte nebo verifikujte."}},
    {ToolText::UnitHoldsPcImage,
     {"The unit holds what the PC shows.", "Das Steuergerät enthält, was der PC zeigt.",
      "Le boîtier contient ce que le PC affiche.", "Jednotka obsahuje to, co ukazuje PC."}},
    {ToolText::NoRestorePoints,
     {"No restore points yet: every Read and Program that passes its verification leaves one.",
      "Noch keine Wiederherstellungspunkte: Jedes Lesen und Programmieren mit bestandenem Vergleich "
      "hinterlässt einen.",
      "Aucun point de restauration pour l'instant : chaque lecture et chaque programmation dont la "
      "vérification réussit en laisse un.",
      "Zatím žádné body obnovení: každé čtení a programování s úspěšnou verifikací jeden zanechá."}},
    {ToolText::RestorePointsTitle,
     {"Restore points", "Wiederherstellungspunkte", "Points de restauration", "Body obnovení"}},
    {ToolText::RestoreKindRead, {"read", "gelesen", "lecture", "čtení"}},
    {ToolText::RestoreKindProgram, {"program", "programmiert", "programmation", "programování"}},
    {ToolText::RestoreUnreadable, {"unreadable", "unlesbar", "illisible", "nečitelný"}},
    {ToolText::RestoreOneFieldDiffers,
     {"1 field differs", "1 Feld weicht ab", "1 champ diffère", "liší se 1 položka"}},
    {ToolText::RestoreFieldsDiffer,
     {"%1 fields differ", "%1 Felder weichen ab", "%1 champs diffèrent", "počet rozdílných položek %1"}},
    // %1 the motorcycle type, %2 how many fields differ from what the unit holds.
    {ToolText::ProgramBeforeReadQuestion,
     {"This configuration is from before the last Read of the unit. Program it into the unit?\n\n"
      "Motorcycle type: %1\nFields to program: %2",
      "Diese Konfiguration stammt von vor dem letzten Lesen des Steuergeräts. Ins Steuergerät "
      "programmieren?\n\nMotorradtyp: %1\nZu programmierende Felder: %2",
      "Cette configuration date d'avant la dernière lecture du boîtier. La programmer dans le boîtier ?\n\n"
      "Type de moto : %1\nChamps à programmer : %2",
      "Tato konfigurace pochází z doby před posledním čtením jednotky. Naprogramovat ji do jednotky?\n\n"
      "Typ motocyklu: %1\nPočet položek k naprogramování: %2"}},
    {ToolText::ProgramOtherTypeQuestion,
     {"This configuration is for another motorcycle type than the unit holds. Program it into the unit?\n\n"
      "Motorcycle type: %1\nFields to program: %2",
      "Diese Konfiguration ist für einen anderen Motorradtyp als den im Steuergerät. Ins Steuergerät "
      "programmieren?\n\nMotorradtyp: %1\nZu programmierende Felder: %2",
      "Cette configuration est pour un autre type de moto que celui du boîtier. La programmer dans le "
      "boîtier ?\n\nType de moto : %1\nChamps à programmer : %2",
      "Tato konfigurace je pro jiný typ motocyklu, než jaký má jednotka. Naprogramovat ji do jednotky?\n\n"
      "Typ motocyklu: %1\nPočet položek k naprogramování: %2"}},
    // %1 the line of the file, %2 the key of the section in which reading stopped.
    {ToolText::DamagedParameterFile,
     {"The file is damaged at line %1 (section %2): it was not opened.",
      "Die Datei ist in Zeile %1 beschädigt (Abschnitt %2): Sie wurde nicht geöffnet.",
      "Le fichier est endommagé à la ligne %1 (section %2) : il n'a pas été ouvert.",
      "Soubor je poškozen na řádku %1 (sekce %2): nebyl otevřen."}},
    {ToolText::CellsCopy, {"Copy", "Kopieren", "Copier", "Kopírovat"}},
    {ToolText::CellsCopyMap,
     {"Copy the map with its axes", "Kennfeld mit Achsen kopieren", "Copier la cartographie avec ses axes",
      "Kopírovat mapu s osami"}},
    {ToolText::CellsPaste, {"Paste", "Einfügen", "Coller", "Vložit"}},
    {ToolText::PasteNotNumbers,
     {"The clipboard holds no block of numbers (line %1: \"%2\"): nothing was pasted.",
      "Die Zwischenablage enthält keinen Zahlenblock (Zeile %1: \"%2\"): Es wurde nichts eingefügt.",
      "Le presse-papiers ne contient pas de bloc de nombres (ligne %1 : \"%2\") : rien n'a été collé.",
      "Schránka neobsahuje blok čísel (řádek %1: \"%2\"): nic nebylo vloženo."}},
    {ToolText::PasteInTimes,
     {"The map shows injection times: switch \"Ms\" off to paste percentages.",
      "Das Kennfeld zeigt Einspritzzeiten: \"Ms\" ausschalten, um Prozentwerte einzufügen.",
      "La cartographie affiche des temps d'injection : désactivez \"Ms\" pour coller des pourcentages.",
      "Mapa zobrazuje časy vstřiku: pro vložení procent vypněte \"Ms\"."}},
    {ToolText::GridCellName, {"%1 %2, %3 rpm", "%1 %2, %3 U/min", "%1 %2, %3 tr/min", "%1 %2, %3 ot/min"}},
    {ToolText::GridAxisName,
     {"%1, rpm axis, column %2", "%1, Drehzahlachse, Spalte %2", "%1, axe du régime, colonne %2",
      "%1, osa otáček, sloupec %2"}},
    {ToolText::GridIapName,
     {"%1, IAP axis, row %2", "%1, IAP-Achse, Zeile %2", "%1, axe IAP, ligne %2", "%1, osa IAP, řádek %2"}},
};

// Row n holds text n: a row out of place breaks the build rather than showing the wrong text.
constexpr bool RowsInEnumOrder() {
    if (std::size(kRows) != static_cast<std::size_t>(ToolTextCount)) return false;
    for (std::size_t i = 0; i < std::size(kRows); ++i) {
        if (static_cast<std::size_t>(kRows[i].id) != i) return false;
    }
    return true;
}
static_assert(RowsInEnumOrder(), "kRows must list every ToolText once, in the enum's order");

}  // namespace

std::string ToolTextOf(ToolText text, int languageIndex) {
    const auto row = static_cast<std::size_t>(text);
    if (row >= std::size(kRows)) return {};
    const std::size_t lang =
        languageIndex >= 0 && languageIndex < LanguageCount ? static_cast<std::size_t>(languageIndex) : 0;
    return std::string(kRows[row].text[lang]);
}

}  // namespace torvane
