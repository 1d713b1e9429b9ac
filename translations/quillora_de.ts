<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de" sourcelanguage="en">
<context>
    <name>Abbreviation</name>
    <message>
        <source>%1 at character %2.</source>
        <translation>%1 bei Zeichen %2.</translation>
    </message>
    <message>
        <source>Unexpected &apos;%1&apos;</source>
        <translation>Unerwartetes „%1“</translation>
    </message>
    <message>
        <source>A group cannot have children</source>
        <translation>Eine Gruppe kann keine Kindelemente haben</translation>
    </message>
    <message>
        <source>Text cannot hold elements</source>
        <translation>Text kann keine Elemente enthalten</translation>
    </message>
    <message>
        <source>Nesting deeper than %1 levels</source>
        <translation>Verschachtelung tiefer als %1 Ebenen</translation>
    </message>
    <message>
        <source>Expected an element</source>
        <translation>Element erwartet</translation>
    </message>
    <message>
        <source>Expected an element after &apos;%1&apos;</source>
        <translation>Element nach „%1“ erwartet</translation>
    </message>
    <message>
        <source>Unclosed &apos;(&apos;</source>
        <translation>Nicht geschlossene „(“</translation>
    </message>
    <message>
        <source>Expected a name after &apos;%1&apos;</source>
        <translation>Name nach „%1“ erwartet</translation>
    </message>
    <message>
        <source>Expected a count from 1 to %1 after &apos;*&apos;</source>
        <translation>Anzahl von 1 bis %1 nach „*“ erwartet</translation>
    </message>
    <message>
        <source>Unclosed &apos;[&apos;</source>
        <translation>Nicht geschlossene „[“</translation>
    </message>
    <message>
        <source>Expected an attribute name</source>
        <translation>Attributname erwartet</translation>
    </message>
    <message>
        <source>Unclosed &apos;%1&apos;</source>
        <translation>Nicht geschlossenes „%1“</translation>
    </message>
    <message>
        <source>Unclosed &apos;{&apos;</source>
        <translation>Nicht geschlossene „{“</translation>
    </message>
    <message>
        <source>Expected at most 9 digits after &apos;@&apos;</source>
        <translation>Höchstens 9 Ziffern nach „@“ erwartet</translation>
    </message>
    <message>
        <source>The void element &apos;%1&apos; cannot hold content at character %2.</source>
        <translation>Das leere Element „%1“ kann bei Zeichen %2 keinen Inhalt haben.</translation>
    </message>
    <message>
        <source>The expansion would be larger than 1 MB.</source>
        <translation>Die Erweiterung wäre größer als 1 MB.</translation>
    </message>
    <message>
        <source>Expected a style abbreviation</source>
        <translation>Stil-Abkürzung erwartet</translation>
    </message>
    <message>
        <source>Unknown style abbreviation &apos;%1&apos;</source>
        <translation>Unbekannte Stil-Abkürzung „%1“</translation>
    </message>
    <message>
        <source>Expected 1, 2, 3, 4, 6 or 8 hex digits after &apos;#&apos;</source>
        <translation>1, 2, 3, 4, 6 oder 8 Hexadezimalziffern nach „#“ erwartet</translation>
    </message>
    <message>
        <source>Expected a number</source>
        <translation>Zahl erwartet</translation>
    </message>
    <message>
        <source>Unknown unit &apos;%1&apos;</source>
        <translation>Unbekannte Einheit „%1“</translation>
    </message>
    <message>
        <source>&apos;%1&apos; takes no value</source>
        <translation>„%1“ nimmt keinen Wert an</translation>
    </message>
    <message>
        <source>No style abbreviations: abbreviations.txt is missing or empty.</source>
        <translation>Keine Stil-Abkürzungen: abbreviations.txt fehlt oder ist leer.</translation>
    </message>
</context>
<context>
    <name>BrowserControl</name>
    <message>
        <source>Loading...</source>
        <translation>Wird geladen …</translation>
    </message>
    <message>
        <source>Loading... %1%</source>
        <translation>Wird geladen … %1 %</translation>
    </message>
    <message>
        <source>Done</source>
        <translation>Fertig</translation>
    </message>
    <message>
        <source>Offline: the page was not loaded</source>
        <translation>Offline: Die Seite wurde nicht geladen</translation>
    </message>
    <message>
        <source>The page could not be loaded</source>
        <translation>Die Seite konnte nicht geladen werden</translation>
    </message>
    <message>
        <source>Block further messages from this page</source>
        <translation>Weitere Meldungen dieser Seite &amp;blockieren</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>S&amp;chließen</translation>
    </message>
</context>
<context>
    <name>BrowserLoader</name>
    <message>
        <source>%1 is missing: it was looked for in %2.</source>
        <translation>%1 fehlt: Gesucht wurde in %2.</translation>
    </message>
    <message>
        <source>%1 is not Quillora&apos;s browser module.</source>
        <translation>%1 ist nicht das Browsermodul von Quillora.</translation>
    </message>
</context>
<context>
    <name>BrowserPage</name>
    <message>
        <source>The page says: %1</source>
        <translation>Die Seite meldet: %1</translation>
    </message>
    <message>
        <source>The page asked to be kept open; it was left.</source>
        <translation>Die Seite bat darum, geöffnet zu bleiben; sie wurde trotzdem verlassen.</translation>
    </message>
    <message>
        <source>The page asks: %1 (answered Cancel)</source>
        <translation>Die Seite fragt: %1 (mit „Abbrechen“ beantwortet)</translation>
    </message>
    <message>
        <source>The page asks for text: %1 (answered Cancel)</source>
        <translation>Die Seite bittet um eine Eingabe: %1 (mit „Abbrechen“ beantwortet)</translation>
    </message>
</context>
<context>
    <name>Charsets</name>
    <message>
        <source>UTF-8 with byte-order mark</source>
        <translation>UTF-8 mit Byte-Order-Mark</translation>
    </message>
</context>
<context>
    <name>CheckPanel</name>
    <message>
        <source>error</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>warning</source>
        <translation>Warnung</translation>
    </message>
    <message>
        <source>access</source>
        <translation>Barrierefreiheit</translation>
    </message>
    <message>
        <source>Check HTML</source>
        <translation>HTML prüfen</translation>
    </message>
    <message>
        <source>All</source>
        <translation>Alle</translation>
    </message>
    <message>
        <source>Errors</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>Warnings</source>
        <translation>Warnungen</translation>
    </message>
    <message>
        <source>Access</source>
        <translation>Barrierefreiheit</translation>
    </message>
    <message>
        <source>Check as HTML5</source>
        <translation>Als HTML5 prüfen</translation>
    </message>
    <message>
        <source>Accessibility messages</source>
        <translation>Meldungen zur Barrierefreiheit</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Line</source>
        <translation>Zeile</translation>
    </message>
    <message>
        <source>Column</source>
        <translation>Spalte</translation>
    </message>
    <message>
        <source>Severity</source>
        <translation>Schweregrad</translation>
    </message>
    <message>
        <source>Message</source>
        <translation>Meldung</translation>
    </message>
    <message>
        <source>Show:</source>
        <translation>Anzeigen:</translation>
    </message>
    <message>
        <source>Check HTML works on HTML documents.</source>
        <translation>„HTML prüfen“ arbeitet mit HTML-Dokumenten.</translation>
    </message>
    <message>
        <source>Checking...</source>
        <translation>Wird geprüft …</translation>
    </message>
    <message>
        <source>Cancelled.</source>
        <translation>Abgebrochen.</translation>
    </message>
    <message>
        <source>The text has changed since this check.</source>
        <translation>Der Text wurde seit dieser Prüfung geändert.</translation>
    </message>
</context>
<context>
    <name>Commands</name>
    <message>
        <source>New</source>
        <translation>&amp;Neu</translation>
    </message>
    <message>
        <source>Open...</source>
        <translation>Ö&amp;ffnen …</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>&amp;Speichern</translation>
    </message>
    <message>
        <source>Save As...</source>
        <translation>Speichern &amp;unter …</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>S&amp;chließen</translation>
    </message>
    <message>
        <source>Open in Browser</source>
        <translation>&amp;Im Browser öffnen</translation>
    </message>
    <message>
        <source>Find in Files...</source>
        <translation>In &amp;Dateien suchen …</translation>
    </message>
    <message>
        <source>Check Links...</source>
        <translation>Lin&amp;ks prüfen …</translation>
    </message>
    <message>
        <source>Preview Beside</source>
        <translation>V&amp;orschau daneben</translation>
    </message>
    <message>
        <source>New Browser</source>
        <translation>Neuer B&amp;rowser</translation>
    </message>
    <message>
        <source>Print</source>
        <translation>&amp;Drucken</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>&amp;Rückgängig</translation>
    </message>
    <message>
        <source>Redo</source>
        <translation>Wieder&amp;herstellen</translation>
    </message>
    <message>
        <source>Cut</source>
        <translation>&amp;Ausschneiden</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>&amp;Kopieren</translation>
    </message>
    <message>
        <source>Paste</source>
        <translation>&amp;Einfügen</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>&amp;Löschen</translation>
    </message>
    <message>
        <source>Find...</source>
        <translation>&amp;Suchen …</translation>
    </message>
    <message>
        <source>Find Next</source>
        <translation>We&amp;itersuchen</translation>
    </message>
    <message>
        <source>Select All</source>
        <translation>Alles aus&amp;wählen</translation>
    </message>
    <message>
        <source>Select Element</source>
        <translation>Ele&amp;ment auswählen</translation>
    </message>
    <message>
        <source>Go to Matching Tag</source>
        <translation>Zum &amp;passenden Tag</translation>
    </message>
    <message>
        <source>Time &amp;&amp; Date</source>
        <translation>Datum &amp;&amp; &amp;Uhrzeit</translation>
    </message>
    <message>
        <source>Body-Builder...</source>
        <translation>&amp;Body-Builder …</translation>
    </message>
    <message>
        <source>CSS...</source>
        <translation>&amp;CSS …</translation>
    </message>
    <message>
        <source>Font...</source>
        <translation>&amp;Schrift …</translation>
    </message>
    <message>
        <source>Forms...</source>
        <translation>&amp;Formulare …</translation>
    </message>
    <message>
        <source>Frames...</source>
        <translation>F&amp;rames …</translation>
    </message>
    <message>
        <source>Gradient...</source>
        <translation>&amp;Verlauf …</translation>
    </message>
    <message>
        <source>Image Map...</source>
        <translation>&amp;Imagemap …</translation>
    </message>
    <message>
        <source>Compile</source>
        <translation>&amp;Kompilieren</translation>
    </message>
    <message>
        <source>JavaScripts...</source>
        <translation>J&amp;avaScripts …</translation>
    </message>
    <message>
        <source>Link...</source>
        <translation>&amp;Link …</translation>
    </message>
    <message>
        <source>Lists...</source>
        <translation>Lis&amp;ten …</translation>
    </message>
    <message>
        <source>Picture...</source>
        <translation>&amp;Grafik …</translation>
    </message>
    <message>
        <source>Symbols...</source>
        <translation>S&amp;ymbole …</translation>
    </message>
    <message>
        <source>Tables...</source>
        <translation>Tab&amp;ellen …</translation>
    </message>
    <message>
        <source>Check HTML</source>
        <translation>&amp;HTML prüfen</translation>
    </message>
    <message>
        <source>Check Spelling</source>
        <translation>Rechtschreibung &amp;prüfen</translation>
    </message>
    <message>
        <source>Spelling List</source>
        <translation>Falsch geschriebene &amp;Wörter</translation>
    </message>
    <message>
        <source>DOS format</source>
        <translation>&amp;DOS-Format</translation>
    </message>
    <message>
        <source>UNIX format</source>
        <translation>UNI&amp;X-Format</translation>
    </message>
    <message>
        <source>MAC format</source>
        <translation>&amp;MAC-Format</translation>
    </message>
    <message>
        <source>Expand Abbreviation</source>
        <translation>Abkür&amp;zung auflösen</translation>
    </message>
    <message>
        <source>Next Edit Point</source>
        <translation>&amp;Nächste Bearbeitungsstelle</translation>
    </message>
    <message>
        <source>Previous Edit Point</source>
        <translation>Vorherige Bearbeit&amp;ungsstelle</translation>
    </message>
    <message>
        <source>Settings...</source>
        <translation>&amp;Einstellungen …</translation>
    </message>
    <message>
        <source>Line Numbers</source>
        <translation>&amp;Zeilennummern</translation>
    </message>
    <message>
        <source>Zoom In</source>
        <translation>Ver&amp;größern</translation>
    </message>
    <message>
        <source>Zoom Out</source>
        <translation>Ver&amp;kleinern</translation>
    </message>
    <message>
        <source>Reset Zoom</source>
        <translation>&amp;Originalgröße</translation>
    </message>
    <message>
        <source>Colorize Document</source>
        <translation>Dokument ein&amp;färben</translation>
    </message>
    <message>
        <source>Remove Colors</source>
        <translation>Farben en&amp;tfernen</translation>
    </message>
    <message>
        <source>Edit default template</source>
        <translation>Standard&amp;vorlage bearbeiten</translation>
    </message>
    <message>
        <source>Cascade</source>
        <translation>&amp;Überlappend</translation>
    </message>
    <message>
        <source>Tile Horizontal</source>
        <translation>&amp;Untereinander</translation>
    </message>
    <message>
        <source>Tile Vertical</source>
        <translation>&amp;Nebeneinander</translation>
    </message>
    <message>
        <source>Arrange Icons</source>
        <translation>&amp;Symbole anordnen</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>Check for update...</source>
        <translation>Nach &amp;Aktualisierungen suchen …</translation>
    </message>
    <message>
        <source>About Quillora</source>
        <translation>Ü&amp;ber Quillora</translation>
    </message>
    <message>
        <source>Forward</source>
        <translation>&amp;Vorwärts</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>&amp;Zurück</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>&amp;Stopp</translation>
    </message>
    <message>
        <source>Reload</source>
        <translation>&amp;Neu laden</translation>
    </message>
    <message>
        <source>Open File...</source>
        <translation>&amp;Datei öffnen …</translation>
    </message>
    <message>
        <source>View Source</source>
        <translation>&amp;Quelltext anzeigen</translation>
    </message>
    <message>
        <source>Offline</source>
        <translation>&amp;Offline</translation>
    </message>
    <message>
        <source>File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>&amp;Bearbeiten</translation>
    </message>
    <message>
        <source>Tools</source>
        <translation>E&amp;xtras</translation>
    </message>
    <message>
        <source>Java</source>
        <translation>&amp;Java</translation>
    </message>
    <message>
        <source>Options</source>
        <translation>&amp;Optionen</translation>
    </message>
    <message>
        <source>Window</source>
        <translation>&amp;Fenster</translation>
    </message>
    <message>
        <source>?</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>Browser</source>
        <translation>&amp;Browser</translation>
    </message>
</context>
<context>
    <name>DocumentAbbreviation</name>
    <message>
        <source>No abbreviation before the cursor.</source>
        <translation>Keine Abkürzung vor dem Cursor.</translation>
    </message>
    <message>
        <source>Abbreviations are expanded between tags, not inside one.</source>
        <translation>Abkürzungen werden zwischen Tags erweitert, nicht innerhalb eines Tags.</translation>
    </message>
    <message>
        <source> Nothing was inserted.</source>
        <translation> Es wurde nichts eingefügt.</translation>
    </message>
</context>
<context>
    <name>FileFilter</name>
    <message>
        <source>Default</source>
        <translation>Standard</translation>
    </message>
    <message>
        <source>All Formats</source>
        <translation>Alle Formate</translation>
    </message>
    <message>
        <source>Dynamic HTML</source>
        <translation>Dynamisches HTML</translation>
    </message>
    <message>
        <source>Hypertext</source>
        <translation>Hypertext</translation>
    </message>
    <message>
        <source>Stylesheet</source>
        <translation>Stylesheet</translation>
    </message>
    <message>
        <source>Text</source>
        <translation>Text</translation>
    </message>
    <message>
        <source>All Files</source>
        <translation>Alle Dateien</translation>
    </message>
    <message>
        <source>All files</source>
        <translation>Alle Dateien</translation>
    </message>
    <message>
        <source>All</source>
        <translation>Alle</translation>
    </message>
    <message>
        <source>Executables</source>
        <translation>Ausführbare Dateien</translation>
    </message>
    <message>
        <source>Quillora Skins</source>
        <translation>Quillora-Skins</translation>
    </message>
</context>
<context>
    <name>FileSearch</name>
    <message>
        <source>a named pipe</source>
        <translation>eine benannte Pipe</translation>
    </message>
    <message>
        <source>a socket</source>
        <translation>ein Socket</translation>
    </message>
    <message>
        <source>a device</source>
        <translation>ein Gerät</translation>
    </message>
    <message>
        <source>not a regular file</source>
        <translation>keine reguläre Datei</translation>
    </message>
    <message>
        <source>%1 is a symbolic link that leads back to itself (a loop).</source>
        <translation>%1 ist eine symbolische Verknüpfung, die auf sich selbst zurückführt (eine Schleife).</translation>
    </message>
    <message>
        <source>%1 is a symbolic link to %2, which does not exist.</source>
        <translation>%1 ist eine symbolische Verknüpfung auf %2, das nicht existiert.</translation>
    </message>
    <message>
        <source>The folder %1 cannot be read: %2</source>
        <translation>Der Ordner %1 kann nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>%1 is %2, not a text file.</source>
        <translation>%1 ist %2, keine Textdatei.</translation>
    </message>
    <message>
        <source>%1 is a symbolic link to a folder that contains it (a loop).</source>
        <translation>%1 ist eine symbolische Verknüpfung auf einen Ordner, der sie enthält (eine Schleife).</translation>
    </message>
    <message>
        <source>%1 is not a folder.</source>
        <translation>%1 ist kein Ordner.</translation>
    </message>
    <message>
        <source>%1 changed after it was searched; it was left as it is.</source>
        <translation>%1 wurde nach dem Durchsuchen geändert; die Datei blieb unverändert.</translation>
    </message>
    <message>
        <source>%1 could not be written: %2</source>
        <translation>%1 konnte nicht geschrieben werden: %2</translation>
    </message>
</context>
<context>
    <name>FileWatch</name>
    <message>
        <source>%1 has been changed by another program. Reload it?</source>
        <translation>%1 wurde von einem anderen Programm geändert. Neu laden?</translation>
    </message>
    <message>
        <source><byte value="xd"/>
<byte value="xd"/>
The changes you have not saved will be lost.</source>
        <translation><byte value="xd"/>
<byte value="xd"/>
Ihre nicht gespeicherten Änderungen gehen dabei verloren.</translation>
    </message>
    <message>
        <source>%1 has been changed by another program since it was opened or saved. Overwrite it?</source>
        <translation>%1 wurde seit dem Öffnen oder Speichern von einem anderen Programm geändert. Überschreiben?</translation>
    </message>
</context>
<context>
    <name>FilesPanel</name>
    <message numerus="yes">
        <source>%n match</source>
        <translation>
            <numerusform>%n Treffer</numerusform>
            <numerusform>%n Treffer</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n matches</source>
        <translation>
            <numerusform>%n Treffer</numerusform>
            <numerusform>%n Treffer</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n file</source>
        <translation>
            <numerusform>%n Datei</numerusform>
            <numerusform>%n Dateien</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n files</source>
        <translation>
            <numerusform>%n Datei</numerusform>
            <numerusform>%n Dateien</numerusform>
        </translation>
    </message>
    <message>
        <source>... and %1 more</source>
        <translation>… und %1 weitere</translation>
    </message>
    <message>
        <source>%1 has no matches any more in its window.</source>
        <translation>%1 enthält in seinem Fenster keine Treffer mehr.</translation>
    </message>
    <message>
        <source>Find in Files</source>
        <translation>In Dateien suchen</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Line</source>
        <translation>Zeile</translation>
    </message>
    <message>
        <source>Column</source>
        <translation>Spalte</translation>
    </message>
    <message>
        <source>Text</source>
        <translation>Text</translation>
    </message>
    <message>
        <source>Replace in Files is still writing files. Wait until it is done, or cancel it, before searching again.</source>
        <translation>„In Dateien ersetzen“ schreibt noch Dateien. Warten Sie, bis es fertig ist, oder brechen Sie es ab, bevor Sie erneut suchen.</translation>
    </message>
    <message>
        <source>Listing the files of %1...</source>
        <translation>Dateien von %1 werden aufgelistet …</translation>
    </message>
    <message>
        <source>Listing the files of %1: %2 so far...</source>
        <translation>Dateien von %1 werden aufgelistet: bisher %2 …</translation>
    </message>
    <message>
        <source>Replacing: %1 of %2 files...</source>
        <translation>Ersetzen: %1 von %2 Dateien …</translation>
    </message>
    <message>
        <source>Searching: %1 of %2 files...</source>
        <translation>Suchen: %1 von %2 Dateien …</translation>
    </message>
    <message>
        <source>%1 skipped</source>
        <translation>%1 übersprungen</translation>
    </message>
    <message>
        <source>No matches</source>
        <translation>Keine Treffer</translation>
    </message>
    <message>
        <source>%1 in %2</source>
        <translation>%1 in %2</translation>
    </message>
    <message>
        <source>%1 searched</source>
        <translation>%1 durchsucht</translation>
    </message>
    <message>
        <source> Only the first %1 are listed.</source>
        <translation> Nur die ersten %1 werden aufgelistet.</translation>
    </message>
    <message>
        <source>Stopping after the file being written...</source>
        <translation>Wird nach der gerade geschriebenen Datei angehalten …</translation>
    </message>
    <message>
        <source>Cancelled: </source>
        <translation>Abgebrochen: </translation>
    </message>
    <message>
        <source>Unable to find &quot;%1&quot; in the files of %2.</source>
        <translation>„%1“ wurde in den Dateien von %2 nicht gefunden.</translation>
    </message>
    <message>
        <source>Replace %1 in %2 with &quot;%3&quot;?<byte value="xd"/>
<byte value="xd"/>
%4</source>
        <translation>%1 in %2 durch „%3“ ersetzen?<byte value="xd"/>
<byte value="xd"/>
%4</translation>
    </message>
    <message>
        <source><byte value="xd"/>
<byte value="xd"/>
%1 skipped and not changed.</source>
        <translation><byte value="xd"/>
<byte value="xd"/>
%1 übersprungen und nicht geändert.</translation>
    </message>
    <message>
        <source><byte value="xd"/>
<byte value="xd"/>
Documents open in windows are changed there and left unsaved; the other files are written.</source>
        <translation><byte value="xd"/>
<byte value="xd"/>
In Fenstern geöffnete Dokumente werden dort geändert und bleiben ungespeichert; die übrigen Dateien werden geschrieben.</translation>
    </message>
    <message>
        <source> Nothing was replaced.</source>
        <translation> Es wurde nichts ersetzt.</translation>
    </message>
    <message>
        <source>%1 was closed after it was searched; it was left as it is.</source>
        <translation>%1 wurde nach dem Durchsuchen geschlossen; die Datei blieb unverändert.</translation>
    </message>
    <message>
        <source>, in its window, unsaved</source>
        <translation>, in seinem Fenster, ungespeichert</translation>
    </message>
    <message>
        <source>No file was changed.</source>
        <translation>Es wurde keine Datei geändert.</translation>
    </message>
    <message>
        <source>Replaced %1 in %2:<byte value="xd"/>
%3</source>
        <translation>%1 in %2 ersetzt:<byte value="xd"/>
%3</translation>
    </message>
    <message>
        <source><byte value="xd"/>
<byte value="xd"/>
%1 could not be changed:<byte value="xd"/>
%2</source>
        <translation><byte value="xd"/>
<byte value="xd"/>
%1 konnten nicht geändert werden:<byte value="xd"/>
%2</translation>
    </message>
    <message>
        <source><byte value="xd"/>
<byte value="xd"/>
Stopped: %1 left as they were.</source>
        <translation><byte value="xd"/>
<byte value="xd"/>
Angehalten: %1 blieben unverändert.</translation>
    </message>
    <message>
        <source>Replaced %1 in %2.</source>
        <translation>%1 in %2 ersetzt.</translation>
    </message>
</context>
<context>
    <name>FormCode</name>
    <message>
        <source>Button</source>
        <translation>Schaltfläche</translation>
    </message>
    <message>
        <source>Check Box</source>
        <translation>Kontrollkästchen</translation>
    </message>
    <message>
        <source>Combo Box</source>
        <translation>Kombinationsfeld</translation>
    </message>
    <message>
        <source>Hidden</source>
        <translation>Verstecktes Feld</translation>
    </message>
    <message>
        <source>List</source>
        <translation>Liste</translation>
    </message>
    <message>
        <source>Radio Button</source>
        <translation>Optionsfeld</translation>
    </message>
    <message>
        <source>Reset Button</source>
        <translation>Zurücksetzen-Schaltfläche</translation>
    </message>
    <message>
        <source>Submit Button</source>
        <translation>Absenden-Schaltfläche</translation>
    </message>
    <message>
        <source>Text Area</source>
        <translation>Textbereich</translation>
    </message>
    <message>
        <source>Text Field</source>
        <translation>Textfeld</translation>
    </message>
</context>
<context>
    <name>FramesArea</name>
    <message>
        <source>Frames</source>
        <translation>Frames</translation>
    </message>
    <message>
        <source>The page&apos;s frames as they divide the window. A click on a frame selects it, a border is dragged to move it.</source>
        <translation>Die Frames der Seite, wie sie das Fenster aufteilen. Ein Klick auf einen Frame wählt ihn aus, ein Rand wird zum Verschieben gezogen.</translation>
    </message>
</context>
<context>
    <name>HtmlCheck</name>
    <message>
        <source>No problems found.</source>
        <translation>Keine Probleme gefunden.</translation>
    </message>
    <message numerus="yes">
        <source>%n error</source>
        <translation>
            <numerusform>%n Fehler</numerusform>
            <numerusform>%n Fehler</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n errors</source>
        <translation>
            <numerusform>%n Fehler</numerusform>
            <numerusform>%n Fehler</numerusform>
        </translation>
    </message>
    <message>
        <source>, </source>
        <translation>, </translation>
    </message>
    <message numerus="yes">
        <source>%n warning</source>
        <translation>
            <numerusform>%n Warnung</numerusform>
            <numerusform>%n Warnungen</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n warnings</source>
        <translation>
            <numerusform>%n Warnung</numerusform>
            <numerusform>%n Warnungen</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>, %n access</source>
        <translation>
            <numerusform>, %n zur Barrierefreiheit</numerusform>
            <numerusform>, %n zur Barrierefreiheit</numerusform>
        </translation>
    </message>
    <message>
        <source>Check HTML cannot run: its checker program, %1, is not installed with Quillora.</source>
        <translation>„HTML prüfen“ kann nicht laufen: Das Prüfprogramm %1 ist nicht mit Quillora installiert.</translation>
    </message>
    <message>
        <source>The check stopped: the page is nested too deeply or too large for the checker.</source>
        <translation>Die Prüfung wurde abgebrochen: Die Seite ist für das Prüfprogramm zu tief verschachtelt oder zu groß.</translation>
    </message>
</context>
<context>
    <name>JavaCompile</name>
    <message>
        <source>The file must be saved before you can compile it!</source>
        <translation>Die Datei muss gespeichert werden, bevor Sie sie kompilieren können!</translation>
    </message>
    <message>
        <source>There is no Java Compiler selected.<byte value="xd"/>
Would you like to select one now?</source>
        <translation>Es ist kein Java-Compiler ausgewählt.<byte value="xd"/>
Möchten Sie jetzt einen auswählen?</translation>
    </message>
    <message>
        <source>The Java compiler could not be started: </source>
        <translation>Der Java-Compiler konnte nicht gestartet werden: </translation>
    </message>
</context>
<context>
    <name>LineNumberGutter</name>
    <message>
        <source>Line numbers</source>
        <translation>Zeilennummern</translation>
    </message>
    <message>
        <source>The number of each line of the text beside it.</source>
        <translation>Die Nummer jeder Zeile des Textes daneben.</translation>
    </message>
</context>
<context>
    <name>LinkCheck</name>
    <message>
        <source>File not found</source>
        <translation>Datei nicht gefunden</translation>
    </message>
    <message>
        <source>Leads out of the checked folder</source>
        <translation>Führt aus dem geprüften Ordner heraus</translation>
    </message>
    <message>
        <source>Remote: not checked</source>
        <translation>Entfernt: nicht geprüft</translation>
    </message>
    <message>
        <source>The folder cannot be read.</source>
        <translation>Der Ordner kann nicht gelesen werden.</translation>
    </message>
    <message>
        <source>A link loop: leads back to a folder above it.</source>
        <translation>Eine Verknüpfungsschleife: führt zurück zu einem übergeordneten Ordner.</translation>
    </message>
    <message>
        <source>Folder has no index page</source>
        <translation>Ordner hat keine Indexseite</translation>
    </message>
    <message>
        <source>Letter case differs: the file is /%1</source>
        <translation>Groß-/Kleinschreibung weicht ab: Die Datei heißt /%1</translation>
    </message>
    <message>
        <source>this page</source>
        <translation>dieser Seite</translation>
    </message>
    <message>
        <source>No id or name &quot;%1&quot; in %2</source>
        <translation>Keine ID und kein Name „%1“ in %2</translation>
    </message>
    <message>
        <source>%1 is no folder.</source>
        <translation>%1 ist kein Ordner.</translation>
    </message>
    <message>
        <source>The folder %1 cannot be read.</source>
        <translation>Der Ordner %1 kann nicht gelesen werden.</translation>
    </message>
    <message numerus="yes">
        <source>%n missing file</source>
        <translation>
            <numerusform>%n fehlende Datei</numerusform>
            <numerusform>%n fehlende Dateien</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n missing files</source>
        <translation>
            <numerusform>%n fehlende Datei</numerusform>
            <numerusform>%n fehlende Dateien</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n wrong letter case</source>
        <translation>
            <numerusform>%n mit falscher Groß-/Kleinschreibung</numerusform>
            <numerusform>%n mit falscher Groß-/Kleinschreibung</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n bad fragment</source>
        <translation>
            <numerusform>%n ungültiger Anker</numerusform>
            <numerusform>%n ungültige Anker</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n bad fragments</source>
        <translation>
            <numerusform>%n ungültiger Anker</numerusform>
            <numerusform>%n ungültige Anker</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n outside the folder</source>
        <translation>
            <numerusform>%n außerhalb des Ordners</numerusform>
            <numerusform>%n außerhalb des Ordners</numerusform>
        </translation>
    </message>
    <message>
        <source>No broken links</source>
        <translation>Keine defekten Links</translation>
    </message>
    <message>
        <source>, </source>
        <translation>, </translation>
    </message>
    <message numerus="yes">
        <source>; %n remote not checked</source>
        <translation>
            <numerusform>; %n entfernter nicht geprüft</numerusform>
            <numerusform>; %n entfernte nicht geprüft</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>; %n page checked</source>
        <translation>
            <numerusform>; %n Seite geprüft</numerusform>
            <numerusform>; %n Seiten geprüft</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>; %n pages checked</source>
        <translation>
            <numerusform>; %n Seite geprüft</numerusform>
            <numerusform>; %n Seiten geprüft</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>, %n file not read</source>
        <translation>
            <numerusform>, %n Datei nicht gelesen</numerusform>
            <numerusform>, %n Dateien nicht gelesen</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>, %n files not read</source>
        <translation>
            <numerusform>, %n Datei nicht gelesen</numerusform>
            <numerusform>, %n Dateien nicht gelesen</numerusform>
        </translation>
    </message>
    <message>
        <source> (cancelled)</source>
        <translation> (abgebrochen)</translation>
    </message>
</context>
<context>
    <name>LinksPanel</name>
    <message>
        <source>All problems</source>
        <translation>Alle Probleme</translation>
    </message>
    <message>
        <source>Missing files</source>
        <translation>Fehlende Dateien</translation>
    </message>
    <message>
        <source>Wrong letter case</source>
        <translation>Falsche Groß-/Kleinschreibung</translation>
    </message>
    <message>
        <source>Bad fragments</source>
        <translation>Ungültige Anker</translation>
    </message>
    <message>
        <source>Outside the folder</source>
        <translation>Außerhalb des Ordners</translation>
    </message>
    <message>
        <source>Remote (not checked)</source>
        <translation>Entfernt (nicht geprüft)</translation>
    </message>
    <message>
        <source>Pages not read</source>
        <translation>Nicht gelesene Seiten</translation>
    </message>
    <message>
        <source>Check Links</source>
        <translation>Links prüfen</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Datei</translation>
    </message>
    <message>
        <source>Line</source>
        <translation>Zeile</translation>
    </message>
    <message>
        <source>Column</source>
        <translation>Spalte</translation>
    </message>
    <message>
        <source>Reference</source>
        <translation>Verweis</translation>
    </message>
    <message>
        <source>Problem</source>
        <translation>Problem</translation>
    </message>
    <message>
        <source>&amp;Show:</source>
        <translation>&amp;Anzeigen:</translation>
    </message>
    <message>
        <source>Check Links: </source>
        <translation>Links prüfen: </translation>
    </message>
    <message>
        <source>Listing the folders...</source>
        <translation>Ordner werden aufgelistet …</translation>
    </message>
    <message>
        <source>Cancelled.</source>
        <translation>Abgebrochen.</translation>
    </message>
    <message>
        <source>Checking page %1 of %2...</source>
        <translation>Seite %1 von %2 wird geprüft …</translation>
    </message>
</context>
<context>
    <name>MapPicture</name>
    <message>
        <source>Picture</source>
        <translation>Grafik</translation>
    </message>
    <message>
        <source>The picture of the map with the outlines of its areas. A click with the left button adds a point of the shape drawn, the right button finishes it.</source>
        <translation>Die Grafik der Imagemap mit den Umrissen ihrer Bereiche. Ein Klick mit der linken Maustaste fügt der gezeichneten Form einen Punkt hinzu, die rechte Maustaste schließt sie ab.</translation>
    </message>
</context>
<context>
    <name>NoticeBar</name>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
</context>
<context>
    <name>Pictures</name>
    <message>
        <source>Please select a folder:</source>
        <translation>Bitte wählen Sie einen Ordner:</translation>
    </message>
</context>
<context>
    <name>Preview</name>
    <message>
        <source>The file could not be saved: %1</source>
        <translation>Die Datei konnte nicht gespeichert werden: %1</translation>
    </message>
    <message>
        <source>The document has been changed. Would you like to save it before viewing it?</source>
        <translation>Das Dokument wurde geändert. Möchten Sie es vor dem Anzeigen speichern?</translation>
    </message>
</context>
<context>
    <name>PreviewBeside</name>
    <message>
        <source>This page is large: the preview follows it when it is saved.</source>
        <translation>Diese Seite ist groß: Die Vorschau folgt ihr beim Speichern.</translation>
    </message>
    <message>
        <source>Preview</source>
        <translation>Vorschau</translation>
    </message>
    <message>
        <source>The page as a browser shows it, following the text beside it.</source>
        <translation>Die Seite, wie ein Browser sie zeigt, dem Text daneben folgend.</translation>
    </message>
    <message>
        <source>Preview of the page</source>
        <translation>Vorschau der Seite</translation>
    </message>
    <message>
        <source>No page that uses %1 has been previewed yet. Preview a page that links it, then Preview Beside shows that page here.</source>
        <translation>Es wurde noch keine Seite in der Vorschau gezeigt, die %1 verwendet. Zeigen Sie eine Seite in der Vorschau, die darauf verweist; dann zeigt „Vorschau daneben“ diese Seite hier.</translation>
    </message>
</context>
<context>
    <name>Recovery</name>
    <message>
        <source>The folder is a link, which is not followed: %1</source>
        <translation>Der Ordner ist eine Verknüpfung, der nicht gefolgt wird: %1</translation>
    </message>
    <message>
        <source>The folder could not be made: %1</source>
        <translation>Der Ordner konnte nicht angelegt werden: %1</translation>
    </message>
</context>
<context>
    <name>RecoveryJournal</name>
    <message>
        <source>Unsaved changes cannot be kept for recovery after a crash:<byte value="xd"/>
%1</source>
        <translation>Ungespeicherte Änderungen können nicht für die Wiederherstellung nach einem Absturz aufbewahrt werden:<byte value="xd"/>
%1</translation>
    </message>
    <message>
        <source>Untitled</source>
        <translation>Unbenannt</translation>
    </message>
    <message numerus="yes">
        <source>Quillora did not end normally. Recover %n unsaved document?</source>
        <translation>
            <numerusform>Quillora wurde nicht normal beendet. %n ungespeichertes Dokument wiederherstellen?</numerusform>
            <numerusform>Quillora wurde nicht normal beendet. %n ungespeicherte Dokumente wiederherstellen?</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Quillora did not end normally. Recover %n unsaved documents?</source>
        <translation>
            <numerusform>Quillora wurde nicht normal beendet. %n ungespeichertes Dokument wiederherstellen?</numerusform>
            <numerusform>Quillora wurde nicht normal beendet. %n ungespeicherte Dokumente wiederherstellen?</numerusform>
        </translation>
    </message>
    <message>
        <source>These recovery files could not be read and were kept in %1:</source>
        <translation>Diese Wiederherstellungsdateien konnten nicht gelesen werden und wurden in %1 aufbewahrt:</translation>
    </message>
</context>
<context>
    <name>SearchPattern</name>
    <message>
        <source>The search pattern is not valid: %1 at character %2.</source>
        <translation>Das Suchmuster ist ungültig: %1 bei Zeichen %2.</translation>
    </message>
</context>
<context>
    <name>SearchState</name>
    <message>
        <source>Unable to find &quot;%1&quot;</source>
        <translation>„%1“ wurde nicht gefunden</translation>
    </message>
</context>
<context>
    <name>Session</name>
    <message>
        <source>%1 is no longer there: it was not reopened.</source>
        <translation>%1 ist nicht mehr vorhanden: Die Datei wurde nicht wieder geöffnet.</translation>
    </message>
    <message>
        <source>%1 and %2 are no longer there: they were not reopened.</source>
        <translation>%1 und %2 sind nicht mehr vorhanden: Sie wurden nicht wieder geöffnet.</translation>
    </message>
    <message>
        <source>, </source>
        <translation>, </translation>
    </message>
</context>
<context>
    <name>Skin</name>
    <message>
        <source>Bold text</source>
        <translation>Fetter Text</translation>
    </message>
    <message>
        <source>Break line</source>
        <translation>Zeilenumbruch</translation>
    </message>
    <message>
        <source>Strike through text</source>
        <translation>Durchgestrichener Text</translation>
    </message>
    <message>
        <source>Italic text</source>
        <translation>Kursiver Text</translation>
    </message>
    <message>
        <source>Paragraph</source>
        <translation>Absatz</translation>
    </message>
    <message>
        <source>Underlined text</source>
        <translation>Unterstrichener Text</translation>
    </message>
    <message>
        <source>Preformatted text</source>
        <translation>Vorformatierter Text</translation>
    </message>
    <message>
        <source>Add Picture</source>
        <translation>Grafik einfügen</translation>
    </message>
    <message>
        <source>Add Link</source>
        <translation>Link einfügen</translation>
    </message>
    <message>
        <source>Create Table</source>
        <translation>Tabelle erstellen</translation>
    </message>
    <message>
        <source>Center text</source>
        <translation>Text zentrieren</translation>
    </message>
    <message>
        <source>Create List</source>
        <translation>Liste erstellen</translation>
    </message>
    <message>
        <source>Horizontal Rule</source>
        <translation>Horizontale Linie</translation>
    </message>
    <message>
        <source>Create Frames</source>
        <translation>Frames erstellen</translation>
    </message>
    <message>
        <source>Body tag</source>
        <translation>Body-Tag</translation>
    </message>
    <message>
        <source>Forms</source>
        <translation>Formulare</translation>
    </message>
    <message>
        <source>Font tag</source>
        <translation>Font-Tag</translation>
    </message>
    <message>
        <source>Image Map</source>
        <translation>Imagemap</translation>
    </message>
    <message>
        <source>JavaScripts</source>
        <translation>JavaScripts</translation>
    </message>
    <message>
        <source>Cascading StyleSheets</source>
        <translation>Cascading Stylesheets</translation>
    </message>
    <message>
        <source>Gradient Text</source>
        <translation>Farbverlaufstext</translation>
    </message>
    <message>
        <source>New Document</source>
        <translation>Neues Dokument</translation>
    </message>
    <message>
        <source>Open Document</source>
        <translation>Dokument öffnen</translation>
    </message>
    <message>
        <source>Save Document</source>
        <translation>Dokument speichern</translation>
    </message>
    <message>
        <source>Cut</source>
        <translation>Ausschneiden</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Kopieren</translation>
    </message>
    <message>
        <source>Paste</source>
        <translation>Einfügen</translation>
    </message>
    <message>
        <source>Find...</source>
        <translation>Suchen …</translation>
    </message>
    <message>
        <source>Print Document</source>
        <translation>Dokument drucken</translation>
    </message>
    <message>
        <source>Back (Alt+Bksp)</source>
        <translation>Zurück (Alt+Rücktaste)</translation>
    </message>
    <message>
        <source>Forward</source>
        <translation>Vorwärts</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Stopp</translation>
    </message>
    <message>
        <source>Reload (Ctrl+R)</source>
        <translation>Neu laden (Strg+R)</translation>
    </message>
    <message>
        <source>Go To URL</source>
        <translation>Zur URL gehen</translation>
    </message>
</context>
<context>
    <name>SkinButton</name>
    <message>
        <source>%1 button: %2</source>
        <translation>Schaltfläche %1: %2</translation>
    </message>
</context>
<context>
    <name>Spelling</name>
    <message>
        <source>No spelling dictionary is installed, so nothing is checked.<byte value="xd"/>
<byte value="xd"/>
Debian&apos;s dictionary packages bring them, one for each language: hunspell-en-us, hunspell-en-gb, hunspell-de-de, hunspell-fr, ... (apt install hunspell-en-us; all of them are named hunspell-*).</source>
        <translation>Es ist kein Wörterbuch für die Rechtschreibprüfung installiert, daher wird nichts geprüft.<byte value="xd"/>
<byte value="xd"/>
Debians Wörterbuchpakete bringen sie mit, eines je Sprache: hunspell-de-de, hunspell-en-us, hunspell-en-gb, hunspell-fr, … (apt install hunspell-de-de; alle heißen hunspell-*).</translation>
    </message>
    <message>
        <source>The dictionary file %1 cannot be read.</source>
        <translation>Die Wörterbuchdatei %1 kann nicht gelesen werden.</translation>
    </message>
    <message>
        <source>The dictionary %1 is written in %2, which this program cannot read.</source>
        <translation>Das Wörterbuch %1 ist in %2 geschrieben, das dieses Programm nicht lesen kann.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a word to add.</source>
        <translation>„%1“ ist kein Wort, das hinzugefügt werden kann.</translation>
    </message>
</context>
<context>
    <name>SpellingPanel</name>
    <message>
        <source>Spelling</source>
        <translation>Rechtschreibung</translation>
    </message>
    <message>
        <source>&amp;Replace</source>
        <translation>&amp;Ersetzen</translation>
    </message>
    <message>
        <source>Word</source>
        <translation>Wort</translation>
    </message>
    <message>
        <source>Count</source>
        <translation>Anzahl</translation>
    </message>
    <message>
        <source>Places</source>
        <translation>Stellen</translation>
    </message>
    <message>
        <source>Replace &amp;with:</source>
        <translation>Ersetzen &amp;durch:</translation>
    </message>
    <message>
        <source>This document has no words to check: style sheets and programs are checked only with their comments and strings (Settings).</source>
        <translation>Dieses Dokument enthält keine zu prüfenden Wörter: Stylesheets und Programme werden nur mit ihren Kommentaren und Zeichenketten geprüft (Einstellungen).</translation>
    </message>
    <message>
        <source>Checking... %1%</source>
        <translation>Wird geprüft … %1 %</translation>
    </message>
    <message>
        <source>No misspelt words.</source>
        <translation>Keine falsch geschriebenen Wörter.</translation>
    </message>
    <message numerus="yes">
        <source>%n misspelt words.</source>
        <translation>
            <numerusform>%n falsch geschriebenes Wort.</numerusform>
            <numerusform>%n falsch geschriebene Wörter.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>StatusFields</name>
    <message>
        <source>Line and column</source>
        <translation>Zeile und Spalte</translation>
    </message>
    <message>
        <source>Selected characters</source>
        <translation>Ausgewählte Zeichen</translation>
    </message>
    <message>
        <source>Line format</source>
        <translation>Zeilenformat</translation>
    </message>
    <message>
        <source>Save with Encoding</source>
        <translation>Mit Kodierung speichern</translation>
    </message>
    <message>
        <source>Read-only</source>
        <translation>Schreibgeschützt</translation>
    </message>
    <message>
        <source>Ln %1, Col %2</source>
        <translation>Z %1, Sp %2</translation>
    </message>
    <message>
        <source>Sel %1</source>
        <translation>Ausw. %1</translation>
    </message>
</context>
<context>
    <name>TagCommands</name>
    <message>
        <source> - Secret!</source>
        <translation> – Geheimnis!</translation>
    </message>
</context>
<context>
    <name>TextFile</name>
    <message>
        <source>%1 is too large to edit: the limit is %2 MB.</source>
        <translation>%1 ist zu groß zum Bearbeiten: Die Grenze liegt bei %2 MB.</translation>
    </message>
    <message>
        <source>%1 is a folder, not a file.</source>
        <translation>%1 ist ein Ordner, keine Datei.</translation>
    </message>
    <message>
        <source>%1 is not a regular file and cannot be opened as text.</source>
        <translation>%1 ist keine reguläre Datei und kann nicht als Text geöffnet werden.</translation>
    </message>
    <message>
        <source>%1 is a link, which is not followed.</source>
        <translation>%1 ist eine Verknüpfung, der nicht gefolgt wird.</translation>
    </message>
    <message>
        <source>%1 contains NUL bytes: it is binary data, not text.</source>
        <translation>%1 enthält NUL-Bytes: Es sind Binärdaten, kein Text.</translation>
    </message>
    <message>
        <source>%1 has too many lines to edit: it would take about %2 MB of memory (the limit is %3 MB).</source>
        <translation>%1 hat zu viele Zeilen zum Bearbeiten: Es würde etwa %2 MB Speicher belegen (die Grenze liegt bei %3 MB).</translation>
    </message>
    <message>
        <source>The text contains %1, which %2 does not have.</source>
        <translation>Der Text enthält %1, das es in %2 nicht gibt.</translation>
    </message>
    <message>
        <source>The text cannot be saved in an unknown encoding (%1).</source>
        <translation>Der Text kann nicht in einer unbekannten Kodierung (%1) gespeichert werden.</translation>
    </message>
    <message>
        <source>No copy of the file could be made before it is written in place: </source>
        <translation>Vor dem Überschreiben an Ort und Stelle konnte keine Kopie der Datei angelegt werden: </translation>
    </message>
    <message>
        <source> The file&apos;s earlier content is kept in </source>
        <translation> Der frühere Inhalt der Datei ist aufbewahrt in </translation>
    </message>
    <message>
        <source>Existing file %1 is not writable</source>
        <translation>Die vorhandene Datei %1 ist nicht beschreibbar</translation>
    </message>
</context>
<context>
    <name>frmAddOwn</name>
    <message>
        <source>Quillora - Add Own Commands</source>
        <translation>Quillora - Eigene Befehle hinzufügen</translation>
    </message>
    <message>
        <source>Beginning:</source>
        <translation>Anfang:</translation>
    </message>
    <message>
        <source>End:</source>
        <translation>Ende:</translation>
    </message>
    <message>
        <source>Write @@ in the &quot;Code&quot;-textfield where you want the selected text in the document to be insterted. </source>
        <translation>Schreiben Sie @@ in das Feld „Code“ dort, wo der im Dokument markierte Text eingefügt werden soll. </translation>
    </message>
    <message>
        <source>Write %% where you want to start a new line. This also works in the beginning and end of each row.</source>
        <translation>Schreiben Sie %% dort, wo eine neue Zeile beginnen soll. Das funktioniert auch am Anfang und Ende jeder Zeile.</translation>
    </message>
    <message>
        <source>Name:</source>
        <translation>Name:</translation>
    </message>
    <message>
        <source>Code:</source>
        <translation>Code:</translation>
    </message>
    <message>
        <source>&amp;Previous</source>
        <translation>&amp;Vorheriger</translation>
    </message>
    <message>
        <source>&amp;Next</source>
        <translation>&amp;Nächster</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Speichern</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Abbrechen</translation>
    </message>
    <message>
        <source>Command (%1/%2)</source>
        <translation>Befehl (%1/%2)</translation>
    </message>
    <message>
        <source>Please give the command a name and a code.</source>
        <translation>Bitte geben Sie dem Befehl einen Namen und einen Code.</translation>
    </message>
    <message>
        <source>The own commands could not be saved: %1</source>
        <translation>Die eigenen Befehle konnten nicht gespeichert werden: %1</translation>
    </message>
</context>
<context>
    <name>frmBody</name>
    <message>
        <source>Quillora - BodyBuilder</source>
        <translation>Quillora - BodyBuilder</translation>
    </message>
    <message>
        <source>Background picture:</source>
        <translation>Hintergrundbild:</translation>
    </message>
    <message>
        <source>Doubleclick to select a color!</source>
        <translation>Doppelklick, um eine Farbe auszuwählen!</translation>
    </message>
    <message>
        <source>Other properties:</source>
        <translation>Weitere Eigenschaften:</translation>
    </message>
    <message>
        <source>Browse...</source>
        <translation>Durchsuchen …</translation>
    </message>
    <message>
        <source>&amp;Add</source>
        <translation>&amp;Einfügen</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>&amp;Schließen</translation>
    </message>
</context>
<context>
    <name>frmCSS</name>
    <message>
        <source>Quillora - Corvelle</source>
        <translation>Quillora - Corvelle</translation>
    </message>
    <message>
        <source>Discard the style rules you made?</source>
        <translation>Die erstellten Stilregeln verwerfen?</translation>
    </message>
    <message>
        <source>Properties:</source>
        <translation>Eigenschaften:</translation>
    </message>
    <message>
        <source>CSS Commands</source>
        <translation>CSS-Befehle</translation>
    </message>
    <message>
        <source>Properties</source>
        <translation>Eigenschaften</translation>
    </message>
    <message>
        <source>Add property</source>
        <translation>Eigenschaft hinzufügen</translation>
    </message>
    <message>
        <source>Delete property</source>
        <translation>Eigenschaft löschen</translation>
    </message>
    <message>
        <source>Clear Properties</source>
        <translation>Eigenschaften leeren</translation>
    </message>
    <message>
        <source>Add to CSS</source>
        <translation>Zu CSS hinzufügen</translation>
    </message>
    <message>
        <source>Delete CSS</source>
        <translation>CSS löschen</translation>
    </message>
    <message>
        <source>Clear CSS</source>
        <translation>CSS leeren</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Abbrechen</translation>
    </message>
    <message>
        <source>All properties on one row.</source>
        <translation>Alle Eigenschaften in einer Zeile.</translation>
    </message>
    <message>
        <source>One property per row.</source>
        <translation>Eine Eigenschaft pro Zeile.</translation>
    </message>
    <message>
        <source>External CSS file.</source>
        <translation>Externe CSS-Datei.</translation>
    </message>
    <message>
        <source>When checked, &lt;STYLE&gt; won´t be added.</source>
        <translation>Wenn aktiviert, wird &lt;STYLE&gt; nicht hinzugefügt.</translation>
    </message>
    <message>
        <source>Property</source>
        <translation>Eigenschaft</translation>
    </message>
    <message>
        <source>Property:</source>
        <translation>Eigenschaft:</translation>
    </message>
    <message>
        <source>Value:</source>
        <translation>Wert:</translation>
    </message>
    <message>
        <source>Unit:</source>
        <translation>Einheit:</translation>
    </message>
    <message>
        <source>CSS Commands:</source>
        <translation>CSS-Befehle:</translation>
    </message>
    <message>
        <source>CSS Options</source>
        <translation>CSS-Optionen</translation>
    </message>
    <message>
        <source>HTML command to change properties on:</source>
        <translation>HTML-Befehl, dessen Eigenschaften geändert werden:</translation>
    </message>
    <message>
        <source> Properties:</source>
        <translation> – Eigenschaften:</translation>
    </message>
    <message>
        <source>That property already exists!</source>
        <translation>Diese Eigenschaft existiert bereits!</translation>
    </message>
    <message>
        <source><byte value="xd"/>
Would you like to replace it?</source>
        <translation><byte value="xd"/>
Möchten Sie sie ersetzen?</translation>
    </message>
    <message>
        <source>That command already exists!</source>
        <translation>Dieser Befehl existiert bereits!</translation>
    </message>
    <message>
        <source>Are you sure you want to clear all commands?</source>
        <translation>Möchten Sie wirklich alle Befehle entfernen?</translation>
    </message>
</context>
<context>
    <name>frmColor</name>
    <message>
        <source>Quillora - Color</source>
        <translation>Quillora - Farbe</translation>
    </message>
    <message>
        <source>Red:</source>
        <translation>Rot:</translation>
    </message>
    <message>
        <source>Green:</source>
        <translation>Grün:</translation>
    </message>
    <message>
        <source>Blue: </source>
        <translation>Blau: </translation>
    </message>
    <message>
        <source>Hex:</source>
        <translation>Hex:</translation>
    </message>
    <message>
        <source>The code of the colour chosen, shown on that colour.</source>
        <translation>Der Code der gewählten Farbe, auf dieser Farbe dargestellt.</translation>
    </message>
    <message>
        <source>Select color...</source>
        <translation>Farbe auswählen …</translation>
    </message>
    <message>
        <source>Get color from picture...</source>
        <translation>Farbe aus Bild übernehmen …</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Abbrechen</translation>
    </message>
    <message>
        <source>Picture</source>
        <translation>Bild</translation>
    </message>
    <message>
        <source>A click on the picture takes the colour of that point.</source>
        <translation>Ein Klick auf das Bild übernimmt die Farbe dieses Punktes.</translation>
    </message>
    <message>
        <source>Get color from picture</source>
        <translation>Farbe aus Bild übernehmen</translation>
    </message>
</context>
<context>
    <name>frmFind</name>
    <message numerus="yes">
        <source>%n match</source>
        <translation>
            <numerusform>%n Treffer</numerusform>
            <numerusform>%n Treffer</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n matches</source>
        <translation>
            <numerusform>%n Treffer</numerusform>
            <numerusform>%n Treffer</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n document</source>
        <comment>replace in</comment>
        <translation>
            <numerusform>%n Dokument</numerusform>
            <numerusform>%n Dokumenten</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n documents</source>
        <comment>replace in</comment>
        <translation>
            <numerusform>%n Dokument</numerusform>
            <numerusform>%n Dokumenten</numerusform>
        </translation>
    </message>
    <message>
        <source>Replace %1 in %2?</source>
        <translation>%1 in %2 ersetzen?</translation>
    </message>
    <message>
        <source>Quillora - Find &amp; Replace</source>
        <translation>Quillora - Suchen &amp; Ersetzen</translation>
    </message>
    <message>
        <source>Find What:</source>
        <translation>Suchen nach:</translation>
    </message>
    <message>
        <source>Replace &amp;With:</source>
        <translation>&amp;Ersetzen durch:</translation>
    </message>
    <message>
        <source>Match &amp;Case</source>
        <translation>&amp;Groß-/Kleinschreibung beachten</translation>
    </message>
    <message>
        <source>Whole word</source>
        <translation>Ganzes Wort</translation>
    </message>
    <message>
        <source>Regular expression</source>
        <translation>Regulärer Ausdruck</translation>
    </message>
    <message>
        <source>Direction</source>
        <translation>Richtung</translation>
    </message>
    <message>
        <source>&amp;Down</source>
        <translation>Nach &amp;unten</translation>
    </message>
    <message>
        <source>&amp;Up</source>
        <translation>Nach &amp;oben</translation>
    </message>
    <message>
        <source>From Position:</source>
        <translation>Ab Position:</translation>
    </message>
    <message>
        <source>Beginning</source>
        <translation>Anfang</translation>
    </message>
    <message>
        <source>Current</source>
        <translation>Aktuelle</translation>
    </message>
    <message>
        <source>End</source>
        <translation>Ende</translation>
    </message>
    <message>
        <source>Search In Selected Text Only.</source>
        <translation>Nur im markierten Text suchen.</translation>
    </message>
    <message>
        <source>Replace &amp;All</source>
        <translation>&amp;Alle ersetzen</translation>
    </message>
    <message>
        <source>Search in the selected documents below:</source>
        <translation>In den unten ausgewählten Dokumenten suchen:</translation>
    </message>
    <message>
        <source>Documents to search</source>
        <translation>Zu durchsuchende Dokumente</translation>
    </message>
    <message>
        <source>&amp;Find Next</source>
        <translation>&amp;Weitersuchen</translation>
    </message>
    <message>
        <source>&amp;Replace</source>
        <translation>E&amp;rsetzen</translation>
    </message>
    <message>
        <source>Cl&amp;ose</source>
        <translation>&amp;Schließen</translation>
    </message>
    <message>
        <source>&amp;Replace All</source>
        <translation>Alle e&amp;rsetzen</translation>
    </message>
    <message>
        <source>There is no text selected in the current dockument!</source>
        <translation>Im aktuellen Dokument ist kein Text markiert!</translation>
    </message>
    <message>
        <source>There are no documents selected!</source>
        <translation>Es sind keine Dokumente ausgewählt!</translation>
    </message>
    <message>
        <source>Unable to find &quot;%1&quot;</source>
        <translation>„%1“ wurde nicht gefunden</translation>
    </message>
    <message>
        <source>Replace All Done!</source>
        <translation>Alle ersetzt!</translation>
    </message>
</context>
<context>
    <name>frmFindInFiles</name>
    <message>
        <source>Quillora - Find in Files</source>
        <translation>Quillora - In Dateien suchen</translation>
    </message>
    <message>
        <source>&amp;Browse...</source>
        <translation>&amp;Durchsuchen …</translation>
    </message>
    <message>
        <source>Match case</source>
        <translation>Groß-/Kleinschreibung beachten</translation>
    </message>
    <message>
        <source>Whole word</source>
        <translation>Ganzes Wort</translation>
    </message>
    <message>
        <source>Regular expression</source>
        <translation>Regulärer Ausdruck</translation>
    </message>
    <message>
        <source>Include hidden folders</source>
        <translation>Versteckte Ordner einbeziehen</translation>
    </message>
    <message>
        <source>Find All</source>
        <translation>Alle suchen</translation>
    </message>
    <message>
        <source>Replace All</source>
        <translation>Alle ersetzen</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>Fi&amp;nd what:</source>
        <translation>&amp;Suchen nach:</translation>
    </message>
    <message>
        <source>Re&amp;place with:</source>
        <translation>&amp;Ersetzen durch:</translation>
    </message>
    <message>
        <source>F&amp;older:</source>
        <translation>&amp;Ordner:</translation>
    </message>
    <message>
        <source>File &amp;types:</source>
        <translation>Datei&amp;typen:</translation>
    </message>
    <message>
        <source>Folder to search</source>
        <translation>Zu durchsuchender Ordner</translation>
    </message>
    <message>
        <source>Choose the folder to search.</source>
        <translation>Wählen Sie den zu durchsuchenden Ordner.</translation>
    </message>
    <message>
        <source>The folder %1 does not exist.</source>
        <translation>Der Ordner %1 existiert nicht.</translation>
    </message>
</context>
<context>
    <name>frmFont</name>
    <message>
        <source>Quillora - Font</source>
        <translation>Quillora - Schrift</translation>
    </message>
    <message>
        <source>Doubleclick to select a color!</source>
        <translation>Doppelklick, um eine Farbe auszuwählen!</translation>
    </message>
    <message>
        <source>&amp;Add</source>
        <translation>&amp;Einfügen</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>&amp;Schließen</translation>
    </message>
    <message>
        <source>Font Size:</source>
        <translation>Schriftgröße:</translation>
    </message>
    <message>
        <source>( 1 to 7 )</source>
        <translation>( 1 bis 7 )</translation>
    </message>
    <message>
        <source>Font Face:</source>
        <translation>Schriftart:</translation>
    </message>
    <message>
        <source>Font Color:</source>
        <translation>Schriftfarbe:</translation>
    </message>
</context>
<context>
    <name>frmFormat</name>
    <message>
        <source>Format</source>
        <translation>Formatieren</translation>
    </message>
    <message>
        <source>All HTML commands lowercase!</source>
        <translation>Alle HTML-Befehle in Kleinbuchstaben!</translation>
    </message>
    <message>
        <source>All HTML commands UPPERCASE!</source>
        <translation>Alle HTML-Befehle in GROSSBUCHSTABEN!</translation>
    </message>
    <message>
        <source>Remove all HTML commands!</source>
        <translation>Alle HTML-Befehle entfernen!</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Start command:</source>
        <translation>Anfangsbefehl:</translation>
    </message>
    <message>
        <source>End command:</source>
        <translation>Endbefehl:</translation>
    </message>
    <message>
        <source>Text to add in the beginning of each line:</source>
        <translation>Am Anfang jeder Zeile einzufügender Text:</translation>
    </message>
    <message>
        <source>Text to add in the end of each line:</source>
        <translation>Am Ende jeder Zeile einzufügender Text:</translation>
    </message>
    <message>
        <source>There is no text selected!<byte value="xd"/>
Please select the text you want to format.</source>
        <translation>Es ist kein Text markiert!<byte value="xd"/>
Bitte markieren Sie den Text, den Sie formatieren möchten.</translation>
    </message>
</context>
<context>
    <name>frmForms</name>
    <message>
        <source>Quillora - Forms</source>
        <translation>Quillora - Formulare</translation>
    </message>
    <message>
        <source>Form Base</source>
        <translation>Formular</translation>
    </message>
    <message>
        <source>Objects</source>
        <translation>Objekte</translation>
    </message>
    <message>
        <source>Form Properies:</source>
        <translation>Formulareigenschaften:</translation>
    </message>
    <message>
        <source>Name:</source>
        <translation>Name:</translation>
    </message>
    <message>
        <source>Action: </source>
        <translation>Aktion: </translation>
    </message>
    <message>
        <source>Method:</source>
        <translation>Methode:</translation>
    </message>
    <message>
        <source>Class:</source>
        <translation>Klasse:</translation>
    </message>
    <message>
        <source>EncType:</source>
        <translation>EncType:</translation>
    </message>
    <message>
        <source>ID:</source>
        <translation>ID:</translation>
    </message>
    <message>
        <source>Lang:</source>
        <translation>Lang:</translation>
    </message>
    <message>
        <source>Language:</source>
        <translation>Sprache:</translation>
    </message>
    <message>
        <source>Target:</source>
        <translation>Ziel:</translation>
    </message>
    <message>
        <source>Title:</source>
        <translation>Titel:</translation>
    </message>
    <message>
        <source>Select Object:</source>
        <translation>Objekt auswählen:</translation>
    </message>
    <message>
        <source>Value:</source>
        <translation>Wert:</translation>
    </message>
    <message>
        <source>How many selections?</source>
        <translation>Wie viele Auswahlmöglichkeiten?</translation>
    </message>
    <message>
        <source>Size:</source>
        <translation>Größe:</translation>
    </message>
    <message>
        <source>MaxLength:</source>
        <translation>MaxLength:</translation>
    </message>
    <message>
        <source>Checked</source>
        <translation>Ausgewählt</translation>
    </message>
    <message>
        <source>Rows:</source>
        <translation>Zeilen:</translation>
    </message>
    <message>
        <source>Cols:</source>
        <translation>Spalten:</translation>
    </message>
    <message>
        <source>OnChange:</source>
        <translation>OnChange:</translation>
    </message>
    <message>
        <source>OnClick:</source>
        <translation>OnClick:</translation>
    </message>
    <message>
        <source>&amp;Add</source>
        <translation>&amp;Einfügen</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>&amp;Schließen</translation>
    </message>
    <message>
        <source>The number of selections must be %1 or less.</source>
        <translation>Die Zahl der Auswahlmöglichkeiten darf höchstens %1 betragen.</translation>
    </message>
    <message>
        <source>The control would be more than %1 MB of text. Give fewer selections or a shorter value.</source>
        <translation>Das Steuerelement wäre mehr als %1 MB Text. Geben Sie weniger Auswahlmöglichkeiten oder einen kürzeren Wert an.</translation>
    </message>
</context>
<context>
    <name>frmFrames</name>
    <message>
        <source>Quillora - Frames</source>
        <translation>Quillora - Frames</translation>
    </message>
    <message>
        <source>Insert &amp;vertical frame</source>
        <translation>Frame &amp;senkrecht einfügen</translation>
    </message>
    <message>
        <source>Insert &amp;horizontal frame</source>
        <translation>Frame &amp;waagerecht einfügen</translation>
    </message>
    <message>
        <source>&amp;Browse...</source>
        <translation>&amp;Durchsuchen …</translation>
    </message>
    <message>
        <source>No resize.</source>
        <translation>Keine Größenänderung.</translation>
    </message>
    <message>
        <source>Name:</source>
        <translation>Name:</translation>
    </message>
    <message>
        <source>Source:</source>
        <translation>Quelle:</translation>
    </message>
    <message>
        <source>Margin width:</source>
        <translation>Randbreite:</translation>
    </message>
    <message>
        <source>Margin height:</source>
        <translation>Randhöhe:</translation>
    </message>
    <message>
        <source>Width (%, * or px):</source>
        <translation>Breite (%, * oder px):</translation>
    </message>
    <message>
        <source>Height (%, * or px): </source>
        <translation>Höhe (%, * oder px): </translation>
    </message>
    <message>
        <source>Colo&amp;r...</source>
        <translation>&amp;Farbe …</translation>
    </message>
    <message>
        <source>Border size:</source>
        <translation>Randstärke:</translation>
    </message>
    <message>
        <source>Border color:</source>
        <translation>Randfarbe:</translation>
    </message>
    <message>
        <source>Restart</source>
        <translation>Neu beginnen</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Abbrechen</translation>
    </message>
    <message>
        <source>Frame(%1) properties:</source>
        <translation>Eigenschaften von Frame(%1):</translation>
    </message>
    <message>
        <source>Border(%1) properties:</source>
        <translation>Eigenschaften von Rand(%1):</translation>
    </message>
    <message>
        <source>Border properties:</source>
        <translation>Randeigenschaften:</translation>
    </message>
    <message>
        <source>When restarting all frames, borders and properties will be removed.<byte value="xd"/>
Are you sure you want to remove all frames and restart?</source>
        <translation>Beim Neubeginn werden alle Frames, Ränder und Eigenschaften entfernt.<byte value="xd"/>
Möchten Sie wirklich alle Frames entfernen und neu beginnen?</translation>
    </message>
    <message>
        <source>Scrolling:</source>
        <translation>Bildlauf:</translation>
    </message>
</context>
<context>
    <name>frmGoTo</name>
    <message>
        <source>Quillora - Go To</source>
        <translation>Quillora - Gehe zu</translation>
    </message>
    <message>
        <source>Line Nr:</source>
        <translation>Zeile Nr.:</translation>
    </message>
    <message>
        <source>Character Nr:</source>
        <translation>Zeichen Nr.:</translation>
    </message>
    <message>
        <source>&amp;Go To</source>
        <translation>&amp;Springen</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Abbrechen</translation>
    </message>
</context>
<context>
    <name>frmIsMap</name>
    <message>
        <source>Quillora - Image Map</source>
        <translation>Quillora - Imagemap</translation>
    </message>
    <message>
        <source>Map</source>
        <translation>Imagemap</translation>
    </message>
    <message>
        <source>Name:</source>
        <translation>Name:</translation>
    </message>
    <message>
        <source>Picture:</source>
        <translation>Bild:</translation>
    </message>
    <message>
        <source>Shape</source>
        <translation>Form</translation>
    </message>
    <message>
        <source>Rectangle</source>
        <translation>Rechteck</translation>
    </message>
    <message>
        <source>Polygon</source>
        <translation>Polygon</translation>
    </message>
    <message>
        <source>Circle</source>
        <translation>Kreis</translation>
    </message>
    <message>
        <source>Shape:</source>
        <translation>Form:</translation>
    </message>
    <message>
        <source>Coordinates:</source>
        <translation>Koordinaten:</translation>
    </message>
    <message>
        <source>Link:</source>
        <translation>Link:</translation>
    </message>
    <message>
        <source>Target:</source>
        <translation>Ziel:</translation>
    </message>
    <message>
        <source>Alt:</source>
        <translation>Alt:</translation>
    </message>
    <message>
        <source>Shapes</source>
        <translation>Formen</translation>
    </message>
    <message>
        <source>Add shape</source>
        <translation>Form hinzufügen</translation>
    </message>
    <message>
        <source>Remove shape</source>
        <translation>Form entfernen</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Abbrechen</translation>
    </message>
    <message>
        <source>An error occurred when opening file: </source>
        <translation>Beim Öffnen der Datei ist ein Fehler aufgetreten: </translation>
    </message>
</context>
<context>
    <name>frmLink</name>
    <message>
        <source>Quillora - Link</source>
        <translation>Quillora - Link</translation>
    </message>
    <message>
        <source>Picture: </source>
        <translation>Bild: </translation>
    </message>
    <message>
        <source>Add &lt;BR&gt; after the link</source>
        <translation>&lt;BR&gt; nach dem Link einfügen</translation>
    </message>
    <message>
        <source>URL:</source>
        <translation>URL:</translation>
    </message>
    <message>
        <source>Protocol</source>
        <translation>Protokoll</translation>
    </message>
    <message>
        <source>Name:</source>
        <translation>Name:</translation>
    </message>
    <message>
        <source>Target (frame):</source>
        <translation>Ziel (Frame):</translation>
    </message>
    <message>
        <source>Picture</source>
        <translation>Bild</translation>
    </message>
    <message>
        <source>Browse...</source>
        <translation>Durchsuchen …</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Einfügen</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
</context>
<context>
    <name>frmList</name>
    <message>
        <source>Quillor - Lists</source>
        <translation>Quillora - Listen</translation>
    </message>
    <message>
        <source>Number List</source>
        <translation>Nummerierte Liste</translation>
    </message>
    <message>
        <source>Dot List</source>
        <translation>Aufzählung</translation>
    </message>
    <message>
        <source>Example</source>
        <translation>Beispiel</translation>
    </message>
    <message>
        <source>&amp;Add</source>
        <translation>&amp;Einfügen</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>&amp;Schließen</translation>
    </message>
    <message>
        <source>How many rows?</source>
        <translation>Wie viele Zeilen?</translation>
    </message>
    <message>
        <source> Example</source>
        <translation> Beispiel</translation>
    </message>
    <message>
        <source>* Example</source>
        <translation>* Beispiel</translation>
    </message>
</context>
<context>
    <name>frmNotepad</name>
    <message>
        <source>Document text</source>
        <translation>Dokumenttext</translation>
    </message>
    <message>
        <source>Untitled [0]</source>
        <translation>Unbenannt [0]</translation>
    </message>
    <message>
        <source>Divider between text and preview</source>
        <translation>Trennlinie zwischen Text und Vorschau</translation>
    </message>
    <message>
        <source>Untitled [%1]</source>
        <translation>Unbenannt [%1]</translation>
    </message>
    <message>
        <source>Save changes to [%1] ?</source>
        <translation>Änderungen an [%1] speichern?</translation>
    </message>
</context>
<context>
    <name>frmQuillora</name>
    <message>
        <source>Version: %1.%2</source>
        <translation>Version: %1.%2</translation>
    </message>
    <message>
        <source>Build: %1.%2.%3</source>
        <translation>Build: %1.%2.%3</translation>
    </message>
    <message>
        <source>You&apos;ll find all my programs at: </source>
        <translation>Alle meine Programme finden Sie unter: </translation>
    </message>
    <message>
        <source>Made by the Quillora team.</source>
        <translation>Entwickelt vom Quillora-Team.</translation>
    </message>
    <message>
        <source>Thanks to everyone who reported bugs and ideas.</source>
        <translation>Danke an alle, die Fehler und Ideen gemeldet haben.</translation>
    </message>
    <message>
        <source>About %1</source>
        <translation>Über %1</translation>
    </message>
    <message>
        <source>Check the links of the pages below:</source>
        <translation>Die Links der Seiten darunter prüfen:</translation>
    </message>
    <message>
        <source>View</source>
        <translation>Anzeigen</translation>
    </message>
    <message>
        <source>Comment</source>
        <translation>Kommentar</translation>
    </message>
    <message>
        <source>UnComment</source>
        <translation>Kommentar entfernen</translation>
    </message>
    <message>
        <source>Quote</source>
        <translation>Anführungszeichen</translation>
    </message>
    <message>
        <source>Upper Case</source>
        <translation>Großbuchstaben</translation>
    </message>
    <message>
        <source>Lower Case</source>
        <translation>Kleinbuchstaben</translation>
    </message>
    <message>
        <source>Link...</source>
        <translation>Link …</translation>
    </message>
    <message>
        <source>Select Color...</source>
        <translation>Farbe auswählen …</translation>
    </message>
    <message>
        <source>Go To...</source>
        <translation>Gehe zu …</translation>
    </message>
    <message>
        <source>Format...</source>
        <translation>Formatieren …</translation>
    </message>
    <message>
        <source>Color</source>
        <translation>Farbe</translation>
    </message>
    <message>
        <source>Tag</source>
        <translation>Tag</translation>
    </message>
    <message>
        <source>Text</source>
        <translation>Text</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>Wert</translation>
    </message>
    <message>
        <source>Other...</source>
        <translation>Andere …</translation>
    </message>
    <message>
        <source>Sort</source>
        <translation>Sortieren</translation>
    </message>
    <message>
        <source>Text Size</source>
        <translation>Textgröße</translation>
    </message>
    <message>
        <source>Other</source>
        <translation>Weitere</translation>
    </message>
    <message>
        <source>JavaScript</source>
        <translation>JavaScript</translation>
    </message>
    <message>
        <source>Brackets</source>
        <translation>Klammern</translation>
    </message>
    <message>
        <source>Own Commands</source>
        <translation>Eigene Befehle</translation>
    </message>
    <message>
        <source>Add/Edit Own Command</source>
        <translation>Eigenen Befehl hinzufügen/bearbeiten</translation>
    </message>
    <message>
        <source>View Selected Link</source>
        <translation>Markierten Link anzeigen</translation>
    </message>
    <message>
        <source>View Dockument</source>
        <translation>Dokument anzeigen</translation>
    </message>
    <message>
        <source>(no suggestions)</source>
        <translation>(keine Vorschläge)</translation>
    </message>
    <message>
        <source>Add to Dictionary</source>
        <translation>Zum Wörterbuch hinzufügen</translation>
    </message>
    <message>
        <source>Ignore All</source>
        <translation>Alle ignorieren</translation>
    </message>
    <message>
        <source>&quot;%1&quot; could not be added to %2.<byte value="xd"/>
%3</source>
        <translation>„%1“ konnte nicht zu %2 hinzugefügt werden.<byte value="xd"/>
%3</translation>
    </message>
    <message>
        <source>Pages cannot be shown: the browser module could not be loaded.

%1

Reinstalling Quillora (and the Qt WebEngine library it names, if one is missing) brings it back.</source>
        <translation>Seiten können nicht angezeigt werden: Das Browsermodul konnte nicht geladen werden.

%1

Eine Neuinstallation von Quillora (und der genannten Qt-WebEngine-Bibliothek, falls eine fehlt) behebt das.</translation>
    </message>
</context>
<context>
    <name>frmSettings</name>
    <message>
        <source>Nothing</source>
        <translation>Nichts</translation>
    </message>
    <message>
        <source>Lcase HTML commands</source>
        <translation>HTML-Befehle in Kleinbuchstaben</translation>
    </message>
    <message>
        <source>Remove HTML commands</source>
        <translation>HTML-Befehle entfernen</translation>
    </message>
    <message>
        <source>Ucase HTMLcommands</source>
        <translation>HTML-Befehle in Großbuchstaben</translation>
    </message>
    <message>
        <source>Convert to DOS format</source>
        <translation>In DOS-Format umwandeln</translation>
    </message>
    <message>
        <source>Convert to UNIX format</source>
        <translation>In UNIX-Format umwandeln</translation>
    </message>
    <message>
        <source>Convert to MAC format</source>
        <translation>In MAC-Format umwandeln</translation>
    </message>
    <message>
        <source>Quillora - Settings</source>
        <translation>Quillora - Einstellungen</translation>
    </message>
    <message>
        <source>General</source>
        <translation>Allgemein</translation>
    </message>
    <message>
        <source>General settings</source>
        <translation>Allgemeine Einstellungen</translation>
    </message>
    <message>
        <source>HTML Colors</source>
        <translation>HTML-Farben</translation>
    </message>
    <message>
        <source>Change the colors of the HTML code</source>
        <translation>Die Farben des HTML-Codes ändern</translation>
    </message>
    <message>
        <source>Documents</source>
        <translation>Dokumente</translation>
    </message>
    <message>
        <source>Settings for documents</source>
        <translation>Einstellungen für Dokumente</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Abbrechen</translation>
    </message>
    <message>
        <source>Remember last directory.</source>
        <translation>Letzten Ordner merken.</translation>
    </message>
    <message>
        <source>Tab</source>
        <translation>Tabulator</translation>
    </message>
    <message>
        <source>Other:</source>
        <translation>Andere:</translation>
    </message>
    <message>
        <source>Other indent</source>
        <translation>Andere Einrückung</translation>
    </message>
    <message>
        <source>Start a new line indented as the line above.</source>
        <translation>Neue Zeile so einrücken wie die Zeile darüber.</translation>
    </message>
    <message>
        <source>Complete end tags after &quot;&lt;/&quot;.</source>
        <translation>End-Tags nach „&lt;/“ vervollständigen.</translation>
    </message>
    <message>
        <source>Reopen the documents of the last session.</source>
        <translation>Die Dokumente der letzten Sitzung wieder öffnen.</translation>
    </message>
    <message>
        <source>Java compiler:</source>
        <translation>Java-Compiler:</translation>
    </message>
    <message>
        <source>Default linebreak: </source>
        <translation>Standard-Zeilenumbruch: </translation>
    </message>
    <message>
        <source>Default directory:</source>
        <translation>Standardordner:</translation>
    </message>
    <message>
        <source>Button skin:</source>
        <translation>Schaltflächen-Skin:</translation>
    </message>
    <message>
        <source>Default file extention:</source>
        <translation>Standard-Dateiendung:</translation>
    </message>
    <message>
        <source>Standard indent:</source>
        <translation>Standardeinrückung:</translation>
    </message>
    <message>
        <source>Use colored HTML tags.</source>
        <translation>HTML-Tags farbig darstellen.</translation>
    </message>
    <message>
        <source>Tab width:</source>
        <translation>Tabulatorbreite:</translation>
    </message>
    <message>
        <source>Mark the line of the cursor.</source>
        <translation>Die Zeile des Cursors hervorheben.</translation>
    </message>
    <message>
        <source>Example</source>
        <translation>Beispiel</translation>
    </message>
    <message>
        <source>123 Example</source>
        <translation>123 Beispiel</translation>
    </message>
    <message>
        <source>Backcolor:</source>
        <translation>Hintergrundfarbe:</translation>
    </message>
    <message>
        <source>Font:</source>
        <translation>Schrift:</translation>
    </message>
    <message>
        <source>Font size:</source>
        <translation>Schriftgröße:</translation>
    </message>
    <message>
        <source>Do on open:</source>
        <translation>Beim Öffnen:</translation>
    </message>
    <message>
        <source>Check spelling as you type.</source>
        <translation>Rechtschreibung während der Eingabe prüfen.</translation>
    </message>
    <message>
        <source>Check comments, and the strings of style sheets and scripts.</source>
        <translation>Kommentare sowie die Zeichenketten von Stylesheets und Skripten prüfen.</translation>
    </message>
    <message>
        <source>Spelling dictionary:</source>
        <translation>Wörterbuch:</translation>
    </message>
    <message>
        <source>System language</source>
        <translation>Systemsprache</translation>
    </message>
    <message>
        <source>Tag color:</source>
        <translation>Tag-Farbe:</translation>
    </message>
    <message>
        <source>Text color:</source>
        <translation>Textfarbe:</translation>
    </message>
    <message>
        <source>Value color:</source>
        <translation>Wertfarbe:</translation>
    </message>
    <message>
        <source>Comment color:</source>
        <translation>Kommentarfarbe:</translation>
    </message>
    <message>
        <source>The text color is also used as the text color when colored HTML tags is disabled.</source>
        <translation>Die Textfarbe wird auch als Textfarbe verwendet, wenn farbige HTML-Tags ausgeschaltet sind.</translation>
    </message>
    <message>
        <source>These settings will take affect next time you start Quillora.</source>
        <translation>Diese Einstellungen werden beim nächsten Start von Quillora wirksam.</translation>
    </message>
</context>
<context>
    <name>frmSymbols</name>
    <message>
        <source>Symbols</source>
        <translation>Symbole</translation>
    </message>
    <message>
        <source>&amp;Insert</source>
        <translation>&amp;Einfügen</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>&amp;Schließen</translation>
    </message>
</context>
<context>
    <name>frmTable</name>
    <message>
        <source>Quillora - Tables</source>
        <translation>Quillora - Tabellen</translation>
    </message>
    <message>
        <source>Table, rows and cells</source>
        <translation>Tabelle, Zeilen und Zellen</translation>
    </message>
    <message>
        <source>Table</source>
        <translation>Tabelle</translation>
    </message>
    <message>
        <source>Change the table properties.</source>
        <translation>Die Eigenschaften der Tabelle ändern.</translation>
    </message>
    <message>
        <source>Row</source>
        <translation>Zeile</translation>
    </message>
    <message>
        <source>Add or change a row or its properties.</source>
        <translation>Eine Zeile oder ihre Eigenschaften hinzufügen oder ändern.</translation>
    </message>
    <message>
        <source>Cell</source>
        <translation>Zelle</translation>
    </message>
    <message>
        <source>Add or change a cell or its properties.</source>
        <translation>Eine Zelle oder ihre Eigenschaften hinzufügen oder ändern.</translation>
    </message>
    <message>
        <source>Code in the cell:</source>
        <translation>Code in der Zelle:</translation>
    </message>
    <message>
        <source>&amp;Add</source>
        <translation>&amp;Einfügen</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>&amp;Schließen</translation>
    </message>
    <message>
        <source>Doubleclick to select color</source>
        <translation>Doppelklick, um eine Farbe auszuwählen</translation>
    </message>
    <message>
        <source>Width:</source>
        <translation>Breite:</translation>
    </message>
    <message>
        <source>Height:</source>
        <translation>Höhe:</translation>
    </message>
    <message>
        <source>Border Size: </source>
        <translation>Rahmenstärke: </translation>
    </message>
    <message>
        <source>Border Color:</source>
        <translation>Rahmenfarbe:</translation>
    </message>
    <message>
        <source>Backcolor:</source>
        <translation>Hintergrundfarbe:</translation>
    </message>
    <message>
        <source>Background:</source>
        <translation>Hintergrund:</translation>
    </message>
    <message>
        <source>CellPadding:</source>
        <translation>CellPadding:</translation>
    </message>
    <message>
        <source>CellSpacing:</source>
        <translation>CellSpacing:</translation>
    </message>
    <message>
        <source>Class:</source>
        <translation>Klasse:</translation>
    </message>
    <message>
        <source>Other:</source>
        <translation>Weitere:</translation>
    </message>
    <message>
        <source>New Row</source>
        <translation>Neue Zeile</translation>
    </message>
    <message>
        <source>Make the new row a copy of the selected row.</source>
        <translation>Die neue Zeile als Kopie der ausgewählten Zeile anlegen.</translation>
    </message>
    <message>
        <source>Delete Row</source>
        <translation>Zeile löschen</translation>
    </message>
    <message>
        <source>Move Row</source>
        <translation>Zeile verschieben</translation>
    </message>
    <message>
        <source>Up</source>
        <translation>Nach oben</translation>
    </message>
    <message>
        <source>Down</source>
        <translation>Nach unten</translation>
    </message>
    <message>
        <source>New Cell</source>
        <translation>Neue Zelle</translation>
    </message>
    <message>
        <source>Use these settings for the new cell.</source>
        <translation>Diese Einstellungen für die neue Zelle verwenden.</translation>
    </message>
    <message>
        <source>Delete Cell</source>
        <translation>Zelle löschen</translation>
    </message>
    <message>
        <source>Move Cell</source>
        <translation>Zelle verschieben</translation>
    </message>
    <message>
        <source>Header</source>
        <translation>Kopfzelle</translation>
    </message>
    <message>
        <source>Colspan:</source>
        <translation>Colspan:</translation>
    </message>
    <message>
        <source>Rowspan:</source>
        <translation>Rowspan:</translation>
    </message>
    <message>
        <source>BgColor:</source>
        <translation>BgColor:</translation>
    </message>
    <message>
        <source>Preview of table code:</source>
        <translation>Vorschau des Tabellencodes:</translation>
    </message>
    <message>
        <source>Please select the row where you want the cell to be inserted in the tree list.</source>
        <translation>Bitte wählen Sie in der Baumliste die Zeile, in die die Zelle eingefügt werden soll.</translation>
    </message>
</context>
<context>
    <name>frmView</name>
    <message>
        <source>Page messages not shown: %1</source>
        <translation>Nicht angezeigte Meldungen der Seite: %1</translation>
    </message>
    <message>
        <source>Quillora Help</source>
        <translation>Quillora-Hilfe</translation>
    </message>
    <message>
        <source>Address</source>
        <translation>Adresse</translation>
    </message>
    <message>
        <source>Offline</source>
        <translation>Offline</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>Online</source>
        <translation>Online</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>Usage: quillora [FILE]...
Edit HTML pages, style sheets, scripts and other text files. Each FILE opens in a document
window of its own. When Quillora is already running, the files open in that window instead.

  --help     show this help and exit
  --version  show the version and exit
</source>
        <translation>Aufruf: quillora [DATEI]...
Bearbeitet HTML-Seiten, Stylesheets, Skripte und andere Textdateien. Jede DATEI wird in einem
eigenen Dokumentfenster geöffnet. Läuft Quillora bereits, werden die Dateien dort geöffnet.

  --help     diese Hilfe anzeigen und beenden
  --version  die Version anzeigen und beenden
</translation>
    </message>
</context>
<context>
    <name>mdlFile</name>
    <message>
        <source>An error occurred when opening file: %1</source>
        <translation>Beim Öffnen der Datei ist ein Fehler aufgetreten: %1</translation>
    </message>
    <message>
        <source>Save as UTF-8</source>
        <translation>Als UTF-8 speichern</translation>
    </message>
    <message>
        <source>Use Character References</source>
        <translation>Zeichenreferenzen verwenden</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>%1 cannot be saved as %2: it contains characters that encoding does not have (first: %3 at line %4).</source>
        <translation>%1 kann nicht als %2 gespeichert werden: Die Datei enthält Zeichen, die es in dieser Kodierung nicht gibt (das erste: %3 in Zeile %4).</translation>
    </message>
    <message>
        <source>%1 is not valid UTF-8: it was read as %2. Unchanged bytes are saved as they were.</source>
        <translation>%1 ist kein gültiges UTF-8: Die Datei wurde als %2 gelesen. Unveränderte Bytes werden so gespeichert, wie sie waren.</translation>
    </message>
    <message>
        <source>%1 is read-only: saving it needs Save As...</source>
        <translation>%1 ist schreibgeschützt: Zum Speichern ist „Speichern unter …“ nötig</translation>
    </message>
    <message>
        <source>%1 was replaced by a link to %2 since it was opened; nothing was saved. Use Save As to choose where to save.</source>
        <translation>%1 wurde seit dem Öffnen durch eine Verknüpfung auf %2 ersetzt; es wurde nichts gespeichert. Wählen Sie mit „Speichern unter“, wohin gespeichert werden soll.</translation>
    </message>
    <message>
        <source>The file could not be saved: %1</source>
        <translation>Die Datei konnte nicht gespeichert werden: %1</translation>
    </message>
</context>
</TS>
