-- Schema and starting data of the shipped database "vys.mdb".
-- Run by tools/karomil-mkdb, which creates the engine's metadata tables first.
-- Text columns allow zero-length values and are not required: the report-card tables
-- store an empty text as Null or '' as the field's AllowZeroLength says.

CREATE TABLE vysvedceni (
  ID INTEGER PRIMARY KEY AUTOINCREMENT,
  SkolniRok TEXT(10) COLLATE CZECH,
  Trida TEXT(15) COLLATE CZECH,
  Rocnik TEXT(5) COLLATE CZECH,
  Jmeno TEXT(50) COLLATE CZECH,
  DatumNar DATETIME,
  RodneCislo TEXT(15) COLLATE CZECH,
  MistoNar TEXT(50) COLLATE CZECH,
  CisloTV TEXT(5) COLLATE CZECH,
  Chovani TEXT(35) COLLATE CZECH,
  CHovaniTisk YESNO,
  Predmet1 TEXT(35) COLLATE CZECH,
  Predmet1Tisk YESNO,
  Predmet2 TEXT(35) COLLATE CZECH,
  Predmet2Tisk YESNO,
  Predmet3 TEXT(35) COLLATE CZECH,
  Predmet3Tisk YESNO,
  Predmet4 TEXT(35) COLLATE CZECH,
  Predmet4Tisk YESNO,
  Predmet5 TEXT(35) COLLATE CZECH,
  Predmet5Tisk YESNO,
  Predmet6 TEXT(35) COLLATE CZECH,
  Predmet6Tisk YESNO,
  Predmet7 TEXT(35) COLLATE CZECH,
  Predmet7Tisk YESNO,
  Predmet8 TEXT(35) COLLATE CZECH,
  Predmet8Tisk YESNO,
  Predmet9 TEXT(35) COLLATE CZECH,
  Predmet9Tisk YESNO,
  Predmet10 TEXT(35) COLLATE CZECH,
  Predmet10Tisk YESNO,
  Predmet11 TEXT(35) COLLATE CZECH,
  Predmet11Tisk YESNO,
  Predmet12 TEXT(35) COLLATE CZECH,
  Predmet12Tisk YESNO,
  Predmet13 TEXT(35) COLLATE CZECH,
  Predmet13Tisk YESNO,
  Predmet14 TEXT(35) COLLATE CZECH,
  Predmet14Tisk YESNO,
  Predmet15 TEXT(35) COLLATE CZECH,
  Predmet15Tisk YESNO,
  Predmet16 TEXT(35) COLLATE CZECH,
  Predmet16Tisk YESNO,
  Predmet17 TEXT(35) COLLATE CZECH,
  Predmet17Tisk YESNO,
  Predmet18 TEXT(35) COLLATE CZECH,
  Predmet18Tisk YESNO,
  Predmet19 TEXT(35) COLLATE CZECH,
  Predmet19Tisk YESNO,
  ZnamkaChovA TEXT(15) COLLATE CZECH,
  ZnamkaChovB TEXT(15) COLLATE CZECH,
  Znamka1A TEXT(15) COLLATE CZECH,
  Znamka1B TEXT(15) COLLATE CZECH,
  Znamka2A TEXT(15) COLLATE CZECH,
  Znamka2B TEXT(15) COLLATE CZECH,
  Znamka3A TEXT(15) COLLATE CZECH,
  Znamka3B TEXT(15) COLLATE CZECH,
  Znamka4A TEXT(15) COLLATE CZECH,
  Znamka4B TEXT(15) COLLATE CZECH,
  Znamka5A TEXT(15) COLLATE CZECH,
  Znamka5B TEXT(15) COLLATE CZECH,
  Znamka6A TEXT(15) COLLATE CZECH,
  Znamka6B TEXT(15) COLLATE CZECH,
  Znamka7A TEXT(15) COLLATE CZECH,
  Znamka7B TEXT(15) COLLATE CZECH,
  Znamka8A TEXT(15) COLLATE CZECH,
  Znamka8B TEXT(15) COLLATE CZECH,
  Znamka9A TEXT(15) COLLATE CZECH,
  Znamka9B TEXT(15) COLLATE CZECH,
  Znamka10A TEXT(15) COLLATE CZECH,
  Znamka10B TEXT(15) COLLATE CZECH,
  Znamka11A TEXT(15) COLLATE CZECH,
  Znamka11B TEXT(15) COLLATE CZECH,
  Znamka12A TEXT(15) COLLATE CZECH,
  Znamka12B TEXT(15) COLLATE CZECH,
  Znamka13A TEXT(15) COLLATE CZECH,
  Znamka13B TEXT(15) COLLATE CZECH,
  Znamka14A TEXT(15) COLLATE CZECH,
  Znamka14B TEXT(15) COLLATE CZECH,
  Znamka15A TEXT(15) COLLATE CZECH,
  Znamka15B TEXT(15) COLLATE CZECH,
  Znamka16A TEXT(15) COLLATE CZECH,
  Znamka16B TEXT(15) COLLATE CZECH,
  Znamka17A TEXT(15) COLLATE CZECH,
  Znamka17B TEXT(15) COLLATE CZECH,
  Znamka18A TEXT(15) COLLATE CZECH,
  Znamka18B TEXT(15) COLLATE CZECH,
  Znamka19A TEXT(15) COLLATE CZECH,
  Znamka19B TEXT(15) COLLATE CZECH,
  NPredmet1 TEXT(35) COLLATE CZECH,
  NPredmet2 TEXT(35) COLLATE CZECH,
  NPredmet3 TEXT(35) COLLATE CZECH,
  NPredmet4 TEXT(35) COLLATE CZECH,
  NPredmet5 TEXT(35) COLLATE CZECH,
  NPredmet6 TEXT(35) COLLATE CZECH,
  NPredmet7 TEXT(35) COLLATE CZECH,
  NPredmet8 TEXT(35) COLLATE CZECH,
  NZnamka1A TEXT(20) COLLATE CZECH,
  NZnamka1B TEXT(20) COLLATE CZECH,
  NZnamka2A TEXT(20) COLLATE CZECH,
  NZnamka2B TEXT(20) COLLATE CZECH,
  NZnamka3A TEXT(20) COLLATE CZECH,
  NZnamka3B TEXT(20) COLLATE CZECH,
  NZnamka4A TEXT(20) COLLATE CZECH,
  NZnamka4B TEXT(20) COLLATE CZECH,
  NZnamka5A TEXT(20) COLLATE CZECH,
  NZnamka5B TEXT(20) COLLATE CZECH,
  NZnamka6A TEXT(20) COLLATE CZECH,
  NZnamka6B TEXT(20) COLLATE CZECH,
  NZnamka7A TEXT(20) COLLATE CZECH,
  NZnamka7B TEXT(20) COLLATE CZECH,
  NZnamka8A TEXT(20) COLLATE CZECH,
  NZnamka8B TEXT(20) COLLATE CZECH,
  ZamHodinyOmlA SHORT,
  ZamHodinyOmlB SHORT,
  ZamHodinyNeomlA SHORT,
  ZamHodinyNeomlB SHORT,
  CelkHodnA TEXT(40) COLLATE CZECH,
  CelkHodnB TEXT(40) COLLATE CZECH,
  PochvalyA LONGTEXT COLLATE CZECH,
  PochvalyB LONGTEXT COLLATE CZECH,
  SplnilLet TEXT(10) COLLATE CZECH,
  LetDochazky TEXT(10) COLLATE CZECH,
  VzdelProgram LONGTEXT COLLATE CZECH,
  Dolozka TEXT(120) COLLATE CZECH,
  VA TEXT(35) COLLATE CZECH,
  VB TEXT(35) COLLATE CZECH,
  DneA TEXT(30) COLLATE CZECH,
  DneB TEXT(30) COLLATE CZECH,
  ReportFront TEXT(128) COLLATE CZECH,
  ReportBack TEXT(128) COLLATE CZECH,
  ReportOpisBack TEXT(128) COLLATE CZECH,
  ReportOpisFront TEXT(128) COLLATE CZECH,
  Ucitel TEXT(30) COLLATE CZECH,
  SoucastiListB YESNO
);
INSERT INTO dao_tables (Name, DateCreated, LastUpdated) VALUES ('vysvedceni', 46000, 46000);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'SkolniRok', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'Trida', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'Rocnik', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'Jmeno', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'RodneCislo', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'MistoNar', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'CisloTV', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'Chovani', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'Predmet1', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'Predmet2', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'Predmet3', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'Predmet4', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'Predmet5', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'Predmet6', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'Predmet7', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'Predmet8', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'Predmet9', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'Predmet10', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'Predmet11', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'Predmet12', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'Predmet13', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'Predmet14', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'Predmet15', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'Predmet16', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'Predmet17', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'Predmet18', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'Predmet19', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'ZnamkaChovA', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'ZnamkaChovB', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'Znamka1A', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'Znamka1B', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'Znamka2A', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'Znamka2B', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'Znamka3A', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'Znamka3B', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'Znamka4A', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'Znamka4B', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'Znamka5A', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'Znamka5B', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'Znamka6A', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'Znamka6B', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'Znamka7A', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'Znamka7B', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'Znamka8A', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'Znamka8B', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'Znamka9A', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'Znamka9B', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'Znamka10A', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'Znamka10B', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'Znamka11A', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'Znamka11B', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'Znamka12A', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'Znamka12B', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'Znamka13A', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'Znamka13B', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'Znamka14A', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'Znamka14B', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'Znamka15A', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'Znamka15B', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'Znamka16A', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'Znamka16B', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'Znamka17A', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'Znamka17B', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'Znamka18A', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'Znamka18B', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'Znamka19A', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'Znamka19B', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'NPredmet1', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'NPredmet2', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'NPredmet3', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'NPredmet4', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'NPredmet5', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'NPredmet6', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'NPredmet7', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'NPredmet8', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'NZnamka1A', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'NZnamka1B', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'NZnamka2A', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'NZnamka2B', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'NZnamka3A', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'NZnamka3B', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'NZnamka4A', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'NZnamka4B', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'NZnamka5A', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'NZnamka5B', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'NZnamka6A', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'NZnamka6B', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'NZnamka7A', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'NZnamka7B', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'NZnamka8A', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'NZnamka8B', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'CelkHodnA', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'CelkHodnB', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'PochvalyA', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'PochvalyB', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'SplnilLet', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'LetDochazky', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'VzdelProgram', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'Dolozka', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'VA', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'VB', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'DneA', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'DneB', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'ReportFront', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'ReportBack', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'ReportOpisBack', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'ReportOpisFront', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('vysvedceni', 'Ucitel', 0, -1);
-- A date of birth has no time of day: shown and edited as a date.
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength, Format) VALUES ('vysvedceni', 'DatumNar', 0, 0, 'Short Date');

CREATE TABLE Prefs (
  ID INTEGER PRIMARY KEY AUTOINCREMENT,
  SkolaNazev TEXT(100) COLLATE CZECH,
  SkolaAdr1 TEXT(100) COLLATE CZECH,
  SkolaAdr2 TEXT(100) COLLATE CZECH,
  IZO TEXT(50) COLLATE CZECH,
  DefaultReportFront TEXT(128) COLLATE CZECH,
  DefaultReportBack TEXT(128) COLLATE CZECH,
  DefaultReportOpisBack TEXT(128) COLLATE CZECH,
  DefaultReportOpisFront TEXT(128) COLLATE CZECH
);
INSERT INTO dao_tables (Name, DateCreated, LastUpdated) VALUES ('Prefs', 46000, 46000);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('Prefs', 'SkolaNazev', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('Prefs', 'SkolaAdr1', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('Prefs', 'SkolaAdr2', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('Prefs', 'IZO', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('Prefs', 'DefaultReportFront', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('Prefs', 'DefaultReportBack', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('Prefs', 'DefaultReportOpisBack', 0, -1);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('Prefs', 'DefaultReportOpisFront', 0, -1);

CREATE TABLE Predmety (
  ID INTEGER PRIMARY KEY AUTOINCREMENT,
  Nazev TEXT(35) COLLATE CZECH,
  tisk YESNO
);
INSERT INTO dao_tables (Name, DateCreated, LastUpdated) VALUES ('Predmety', 46000, 46000);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength) VALUES ('Predmety', 'Nazev', 0, -1);

INSERT INTO Prefs (SkolaNazev, SkolaAdr1, SkolaAdr2, IZO, DefaultReportFront, DefaultReportBack, DefaultReportOpisBack, DefaultReportOpisFront)
  VALUES ('Základní škola', '', '', '', 'vysvedceni-predni.fr3', 'vysvedceni-zadni.fr3', 'opis-zadni.fr3', 'opis-predni.fr3');

INSERT INTO Predmety (Nazev, tisk) VALUES ('Chování', -1);
INSERT INTO Predmety (Nazev, tisk) VALUES ('Český jazyk a literatura', -1);
INSERT INTO Predmety (Nazev, tisk) VALUES ('Anglický jazyk', -1);
INSERT INTO Predmety (Nazev, tisk) VALUES ('Německý jazyk', -1);
INSERT INTO Predmety (Nazev, tisk) VALUES ('Matematika', -1);
INSERT INTO Predmety (Nazev, tisk) VALUES ('Informatika', -1);
INSERT INTO Predmety (Nazev, tisk) VALUES ('Prvouka', -1);
INSERT INTO Predmety (Nazev, tisk) VALUES ('Vlastivěda', -1);
INSERT INTO Predmety (Nazev, tisk) VALUES ('Přírodověda', -1);
INSERT INTO Predmety (Nazev, tisk) VALUES ('Dějepis', -1);
INSERT INTO Predmety (Nazev, tisk) VALUES ('Výchova k občanství', -1);
INSERT INTO Predmety (Nazev, tisk) VALUES ('Fyzika', -1);
INSERT INTO Predmety (Nazev, tisk) VALUES ('Chemie', -1);
INSERT INTO Predmety (Nazev, tisk) VALUES ('Přírodopis', -1);
INSERT INTO Predmety (Nazev, tisk) VALUES ('Zeměpis', -1);
INSERT INTO Predmety (Nazev, tisk) VALUES ('Hudební výchova', -1);
INSERT INTO Predmety (Nazev, tisk) VALUES ('Výtvarná výchova', -1);
INSERT INTO Predmety (Nazev, tisk) VALUES ('Výchova ke zdraví', -1);
INSERT INTO Predmety (Nazev, tisk) VALUES ('Tělesná výchova', -1);
INSERT INTO Predmety (Nazev, tisk) VALUES ('Pracovní činnosti', -1);
