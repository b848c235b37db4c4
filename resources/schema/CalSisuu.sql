-- Administration work file CalSisuu.mdb (plain, no password); its tables come from trackTables.sql.

-- Write-ahead log: the administration tools update it row by row, and a commit in the rollback journal
-- costs several disk syncs. The file is never replaced by copying, so its log cannot go astray.
PRAGMA journal_mode = WAL;
