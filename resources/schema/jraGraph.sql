-- Central track information file jraGraph.dat (S_zyo and A_zyo hold the central track code);
-- T_sisuu and T_avetime come from trackTables.sql.
-- Dates are stored as 'yyyy-mm-dd' text.

-- Edition date of the file: one row.
CREATE TABLE version (
    "date" TEXT
);
INSERT INTO version ("date") VALUES ('2026-12-06');
