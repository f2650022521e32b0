#pragma once
// One filled-in report card: the school in Prefs and a pupil with two printed subjects, conduct,
// a third subject whose print flag is off, missed hours and both teachers' lines. Its template
// paths are the shipped templates' names, which are found beside the database.

namespace filledcard {

inline constexpr const char* Sql[] = {
    "UPDATE Prefs SET SkolaNazev = 'Základní škola Karlov', SkolaAdr1 = 'Školní 12', SkolaAdr2 = 'Praha 2', "
    "IZO = '600123456'",
    "INSERT INTO vysvedceni (SkolniRok, Trida, Rocnik, Jmeno, DatumNar, RodneCislo, MistoNar, CisloTV, Chovani, "
    "CHovaniTisk, ZnamkaChovA, ZnamkaChovB, Predmet1, Predmet1Tisk, Znamka1A, Znamka1B, Predmet2, Predmet2Tisk, "
    "Znamka2A, Znamka2B, Predmet3, Predmet3Tisk, Znamka3A, ZamHodinyOmlA, ZamHodinyNeomlB, CelkHodnA, VA, DneA, "
    "Ucitel, Dolozka, ReportFront, ReportBack, ReportOpisFront, ReportOpisBack) VALUES ('2025/2026', '4.B', '4.', "
    "'Růžena Čermáková', 41000, '125512/1234', 'Třeboň', '17', 'Chování', -1, 'velmi dobré', 'uspokojivé', "
    "'Český jazyk a literatura', -1, 'výborný', 'chvalitebný', 'Matematika', -1, 'dobrý', 'dostatečný', "
    "'Výtvarná výchova', 0, 'výborný', 12, 3, 'prospěla', 'Praze', '31. 1. 2026', 'Mgr. Jana Dvořáková', "
    "'Opis vydán na žádost zákonného zástupce.', 'vysvedceni-predni.fr3', 'vysvedceni-zadni.fr3', "
    "'opis-predni.fr3', 'opis-zadni.fr3')",
};

inline constexpr const char* Templates[] = {
    "vysvedceni-predni.fr3", "vysvedceni-zadni.fr3", "opis-predni.fr3", "opis-zadni.fr3"};

}  // namespace filledcard
