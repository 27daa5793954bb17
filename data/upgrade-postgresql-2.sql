-- Version 2 of the team's database: the change log. Every insert, update and delete of the cases,
-- the people and the lookup lists is written into the table changes by triggers, in the
-- change's own transaction, whoever makes it: the program, psql, any other client.
--
-- A new database gets it from schema-postgresql.sql, which includes this file. A database made
-- with an earlier schema gets it once, applied by an administrator:
--
--     psql "postgresql:///helvarine" -v ON_ERROR_STOP=1 -f upgrade-postgresql-2.sql
--
-- A row of changes: revision (numbers the changes in the order they were committed), "table
-- name", "row" (the id, or a lookup row's value), action ('insert', 'update', 'delete',
-- 'restore'), "changed at" (UTC), "changed by" (the login role), command (the revision of the
-- first change of the transaction that wrote it), before and after (the columns as JSON: an
-- insert's new row, a delete's old row, an update's changed columns only). An insert that brings
-- deleted rows back is logged as 'restore': the program sets helvarine.restore to 'on' for the
-- restoring transaction.

BEGIN;

-- The revision counter: one row, moved on by every statement that changes a logged table. The
-- update holds the row's lock until the transaction ends, so writers take their revisions one
-- after the other in the order they commit: a reader that has seen revision M never later
-- finds a committed change numbered M or lower.
CREATE TABLE change_counter (revision bigint NOT NULL);
INSERT INTO change_counter VALUES (0);

-- Names in the C collation: they are compared, never sorted for people, and compare faster so.
-- JSON as text (json): it is made and stored faster than jsonb, and read as text.
CREATE TABLE changes (
    revision     bigint PRIMARY KEY,
    "table name" text COLLATE "C" NOT NULL,
    "row"        text COLLATE "C",
    action       text NOT NULL,
    "changed at" timestamp(3) NOT NULL,
    "changed by" text,
    command      bigint NOT NULL,
    before       json,
    after        json
);
CREATE INDEX "changes by row" ON changes ("table name", "row");
-- The deletions, which a person may restore, found without reading the whole log.
CREATE INDEX deletions ON changes (revision) WHERE action = 'delete';

-- Moves the counter on by the changes of a statement and holds it to the transaction's end;
-- gives the revision before them and the transaction's command (the first revision it wrote).
-- Nothing, and nothing written, when the statement changed nothing.
CREATE FUNCTION helvarine_take_revisions(changed bigint, OUT base bigint, OUT command bigint)
    RETURNS SETOF record LANGUAGE sql SET search_path = public, pg_temp AS $$
    UPDATE change_counter SET revision = revision + changed
     WHERE changed > 0
    RETURNING revision - changed,
              set_config('helvarine.command',
                         coalesce(nullif(current_setting('helvarine.command', true), ''),
                                  (revision - changed + 1)::text),
                         true)::bigint
$$;
REVOKE ALL ON FUNCTION helvarine_take_revisions(bigint) FROM PUBLIC;

-- One call a statement, with the statement's rows in the transition tables old_rows and
-- new_rows. Arguments: the column that names a row, and the column that pairs a row before and
-- after an update (the id; a lookup row's hidden entry, which is left out of the JSON). Each
-- branch is one statement: the rows to log (d), their revisions and command (c), the insert.
-- A statement that changed nothing writes nothing, the counter included.
-- SECURITY DEFINER: the team may read the log but not write it.
CREATE FUNCTION helvarine_log_changes() RETURNS trigger
    LANGUAGE plpgsql SECURITY DEFINER SET search_path = public, pg_temp AS $$
DECLARE
    row_column text := TG_ARGV[0];
    lookup boolean := TG_ARGV[1] = 'entry';
    key_column text := TG_ARGV[1];
    changed_at timestamp(3) := clock_timestamp() AT TIME ZONE 'UTC';
BEGIN
    IF TG_OP = 'INSERT' THEN
        WITH d AS MATERIALIZED (
                 SELECT CASE WHEN lookup THEN (to_jsonb(n) - 'entry')::json ELSE to_json(n) END
                            AS after
                   FROM new_rows n),
             c AS (SELECT * FROM helvarine_take_revisions((SELECT count(*) FROM d)))
        INSERT INTO changes
        SELECT c.base + row_number() OVER (), TG_TABLE_NAME, d.after ->> row_column,
               CASE WHEN current_setting('helvarine.restore', true) = 'on' THEN 'restore'
                    ELSE 'insert' END,
               changed_at, session_user, c.command, NULL, d.after
          FROM c, d;
    ELSIF TG_OP = 'DELETE' THEN
        WITH d AS MATERIALIZED (
                 SELECT CASE WHEN lookup THEN (to_jsonb(o) - 'entry')::json ELSE to_json(o) END
                            AS before
                   FROM old_rows o),
             c AS (SELECT * FROM helvarine_take_revisions((SELECT count(*) FROM d)))
        INSERT INTO changes
        SELECT c.base + row_number() OVER (), TG_TABLE_NAME, d.before ->> row_column, 'delete',
               changed_at, session_user, c.command, d.before, NULL
          FROM c, d;
    ELSE
        -- An update keeps only the columns whose value changed.
        WITH p AS (
                 SELECT to_jsonb(o) - 'entry' AS o, to_jsonb(n) - 'entry' AS n
                   FROM old_rows o JOIN new_rows n
                     ON to_jsonb(o) -> key_column = to_jsonb(n) -> key_column),
             d AS MATERIALIZED (
                 SELECT p.n ->> row_column AS changed_row, x.before, x.after
                   FROM p,
                        LATERAL (SELECT jsonb_object_agg(a.key, a.value)::json AS before,
                                        jsonb_object_agg(b.key, b.value)::json AS after
                                   FROM jsonb_each(p.o) a JOIN jsonb_each(p.n) b USING (key)
                                  WHERE a.value IS DISTINCT FROM b.value) x
                  WHERE p.o IS DISTINCT FROM p.n),
             c AS (SELECT * FROM helvarine_take_revisions((SELECT count(*) FROM d)))
        INSERT INTO changes
        SELECT c.base + row_number() OVER (), TG_TABLE_NAME, d.changed_row, 'update', changed_at,
               session_user, c.command, d.before, d.after
          FROM c, d;
    END IF;
    RETURN NULL;
END
$$;
REVOKE ALL ON FUNCTION helvarine_log_changes() FROM PUBLIC;

DO $$
DECLARE
    logged CONSTANT text[][] := ARRAY[
        ['cases', 'id', 'id'], ['employees', 'id', 'id'], ['customers', 'id', 'id'],
        ['status', 'status', 'entry'], ['categories', 'category', 'entry'],
        ['priorities', 'priority', 'entry'], ['knowledgebase', 'kb', 'entry']];
    t text[];
BEGIN
    FOREACH t SLICE 1 IN ARRAY logged LOOP
        EXECUTE format('CREATE TRIGGER helvarine_log_insert AFTER INSERT ON %I '
                       'REFERENCING NEW TABLE AS new_rows FOR EACH STATEMENT '
                       'EXECUTE FUNCTION helvarine_log_changes(%L, %L)', t[1], t[2], t[3]);
        EXECUTE format('CREATE TRIGGER helvarine_log_update AFTER UPDATE ON %I '
                       'REFERENCING OLD TABLE AS old_rows NEW TABLE AS new_rows '
                       'FOR EACH STATEMENT EXECUTE FUNCTION helvarine_log_changes(%L, %L)',
                       t[1], t[2], t[3]);
        EXECUTE format('CREATE TRIGGER helvarine_log_delete AFTER DELETE ON %I '
                       'REFERENCING OLD TABLE AS old_rows FOR EACH STATEMENT '
                       'EXECUTE FUNCTION helvarine_log_changes(%L, %L)', t[1], t[2], t[3]);
    END LOOP;
END
$$;

REVOKE ALL ON changes, change_counter FROM PUBLIC;
GRANT SELECT ON changes TO helvarine_users;

-- Only the team may connect: a role outside helvarine_users can neither read the cases nor send
-- the change notices that make every desktop look at the log.
DO $$
BEGIN
    EXECUTE format('REVOKE CONNECT, TEMPORARY ON DATABASE %I FROM PUBLIC', current_database());
    EXECUTE format('GRANT CONNECT, TEMPORARY ON DATABASE %I TO helvarine_users',
                   current_database());
END
$$;

-- The schema's version, which the program reads to tell an administrator what to apply.
CREATE OR REPLACE FUNCTION helvarine_schema_version() RETURNS integer
    LANGUAGE sql IMMUTABLE PARALLEL SAFE AS 'SELECT 2';

COMMIT;
