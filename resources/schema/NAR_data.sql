-- Race database NAR_data.dat.
-- Dates are stored as 'yyyy-mm-dd' text.

-- Write-ahead log: each past run is inserted in its own transaction, and a commit in the rollback journal
-- costs several disk syncs. The file is never replaced by copying, so its log cannot go astray.
PRAGMA journal_mode = WAL;

-- One row per race, keyed by the race code (track, "yymmdd", race number "00").
CREATE TABLE T_Rdata (
    R_code TEXT NOT NULL,
    R_zyo TEXT,
    R_zyo02 TEXT,
    R_date TEXT,
    R_no INTEGER DEFAULT 0,
    R_baba INTEGER DEFAULT 0,
    R_kyori INTEGER DEFAULT 0,
    R_name TEXT,
    R_siba INTEGER DEFAULT 0,
    R_class TEXT,
    R_tousuu INTEGER DEFAULT 0,
    R_time REAL DEFAULT 0,
    R_syurui INTEGER DEFAULT 0,
    R_tansyo INTEGER DEFAULT 0,
    R_umahuku INTEGER DEFAULT 0,
    R_umatan INTEGER DEFAULT 0,
    R_3huku INTEGER DEFAULT 0,
    R_3tan INTEGER DEFAULT 0,
    "R_cyaku(1)" INTEGER DEFAULT 0,
    "R_cyaku(2)" INTEGER DEFAULT 0,
    "R_cyaku(3)" INTEGER DEFAULT 0,
    "R_hukusyo(1)" INTEGER DEFAULT 0,
    "R_hukusyo(2)" INTEGER DEFAULT 0,
    "R_hukusyo(3)" INTEGER DEFAULT 0,
    "R_wide(1)" INTEGER DEFAULT 0,
    "R_wide(2)" INTEGER DEFAULT 0,
    "R_wide(3)" INTEGER DEFAULT 0,
    "R_ninki(1)" INTEGER DEFAULT 0,
    "R_ninki(2)" INTEGER DEFAULT 0,
    "R_ninki(3)" INTEGER DEFAULT 0,
    "R_ninki(4)" INTEGER DEFAULT 0,
    "R_ninki(5)" INTEGER DEFAULT 0,
    "R_ninki(6)" INTEGER DEFAULT 0,
    "R_ninki(7)" INTEGER DEFAULT 0,
    "R_ninki(8)" INTEGER DEFAULT 0,
    "R_ninki(9)" INTEGER DEFAULT 0,
    "R_ninki(10)" INTEGER DEFAULT 0,
    "R_ninki(11)" INTEGER DEFAULT 0,
    "R_ninki(12)" INTEGER DEFAULT 0,
    "R_ninki(13)" INTEGER DEFAULT 0,
    "R_ninki(14)" INTEGER DEFAULT 0,
    "R_ninki(15)" INTEGER DEFAULT 0,
    "R_ninki(16)" INTEGER DEFAULT 0,
    R_flag TEXT,
    R_sisuu REAL DEFAULT 0,
    CONSTRAINT PrimaryKey PRIMARY KEY (R_code)
);
CREATE INDEX T_Rdata_R_date ON T_Rdata (R_date);
CREATE INDEX T_Rdata_R_zyo ON T_Rdata (R_zyo, R_date);
-- The course table's races: one course (track, distance, surface) after a date, by going; with the
-- race code, so that the races are found without reading their rows.
CREATE INDEX T_Rdata_course ON T_Rdata (R_zyo, R_kyori, R_siba, R_date, R_baba, R_code);

-- One row per runner per race. A number its writer leaves out reads 0, except three that stay Null
-- when not known: U_zougen and U_kankaku (a runner's oldest run in the window has no weight change
-- and no interval; a sheet shows an empty cell, not "+0") and U_file (a row written without knowing
-- the day's track variant, which the grids tell from False). Readers take Null as 0.
CREATE TABLE T_Useiseki (
    R_code TEXT NOT NULL,
    U_name TEXT NOT NULL,
    U_no INTEGER DEFAULT 0,
    U_waku INTEGER DEFAULT 0,
    U_cyaku INTEGER DEFAULT 0,
    U_time REAL DEFAULT 0,
    U_taizyu INTEGER DEFAULT 0,
    U_zougen INTEGER,
    U_cyakusa REAL DEFAULT 0,
    U_kisyu TEXT,
    U_hutan REAL DEFAULT 0,
    U_3f REAL DEFAULT 0,
    U_sisuu REAL DEFAULT 0,
    U_sisuu3f REAL DEFAULT 0,
    U_file INTEGER,
    U_kankaku INTEGER,
    U_chichi TEXT,
    U_cyoukyou TEXT,
    U_syozoku TEXT,
    U_ninki INTEGER DEFAULT 0,
    U_tuka01 INTEGER DEFAULT 0,
    U_tuka02 INTEGER DEFAULT 0,
    U_tuka03 INTEGER DEFAULT 0,
    U_tuka04 INTEGER DEFAULT 0,
    U_kyakusitu TEXT,
    CONSTRAINT PrimaryKey PRIMARY KEY (R_code, U_name)
);
CREATE INDEX T_Useiseki_U_name ON T_Useiseki (U_name);
-- A person's runs a year at a time, newest first: by the year of the race code ("yy" of its
-- "yymmdd"; years before 50 in the 2000s), within a year as they were stored, so that a run of an
-- older day (from a horse's history) joins the end of its year's runs. A run naming no one is left
-- out (the trainer of every run stored from a horse's history).
CREATE INDEX T_Useiseki_kisyu_year ON T_Useiseki (U_kisyu, (CAST(substr(R_code, -8, 2) AS INTEGER) + (substr(R_code, -8, 2) < '50') * 100)) WHERE U_kisyu IS NOT NULL;
CREATE INDEX T_Useiseki_cyoukyou_year ON T_Useiseki (U_cyoukyou, (CAST(substr(R_code, -8, 2) AS INTEGER) + (substr(R_code, -8, 2) < '50') * 100)) WHERE U_cyoukyou IS NOT NULL;
CREATE INDEX T_Useiseki_chichi_year ON T_Useiseki (U_chichi, (CAST(substr(R_code, -8, 2) AS INTEGER) + (substr(R_code, -8, 2) < '50') * 100)) WHERE U_chichi IS NOT NULL;
-- The course table's runs of one frame of a race, with the finish and index it counts.
CREATE INDEX T_Useiseki_waku ON T_Useiseki (R_code, U_waku, U_cyaku, U_sisuu);

-- The last day up to which results were imported; empty until the first import.
CREATE TABLE LastDate (
    LastDate TEXT
);
