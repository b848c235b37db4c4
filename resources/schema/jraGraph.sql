-- Central track information file jraGraph.dat (S_zyo and A_zyo hold the central track code);
-- T_sisuu and T_avetime come from trackTables.sql.
-- Dates are stored as 'yyyy-mm-dd' text.

-- Edition date of the file: one row, given with the standard times. A file without them (a new
-- set-up's) has no edition, so that the start page says the indices need a track file.
CREATE TABLE version (
    "date" TEXT
);
