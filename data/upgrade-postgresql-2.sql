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
-- insert's new row, a delete's old row, an update's changed columns only).

BEGIN;

-- The revision counter: one row, moved on by every statement that changes a logged table. The
-- update holds the row's lock until the transaction ends, so writers take their revisions one
-- after the other in the order they commit: a reader that has seen revision M never later
-- finds a committed change numbered M or lower.
CREATE TABLE change_counter (revision bigint NOT NULL);
INSERT INTO change_counter VALUES (0);

CREATE TABLE changes (
    revision     bigint PRIMARY KEY,
    "table name" text NOT NULL,
    "row"        text,
    action       text NOT NULL,
    "changed at" timestamp(3) NOT NULL,
    "changed by" text,
    command      bigint NOT NULL,
    before       jsonb,
    after        jsonb
);
CREATE INDEX "changes by row" ON changes ("table name", "row");

-- One call a statement, with the statement's rows in the transition tables old_rows and
-- new_rows. Arguments: the column that names a row, and the column that pairs a row before and
-- after an update (the id; a lookup row's hidden entry, which is left out of the JSON).
-- SECURITY DEFINER: the team may read the log but not write it.
CREATE FUNCTION helvarine_log_changes() RETURNS trigger
    LANGUAGE plpgsql SECURITY DEFINER SET search_path = public, pg_temp AS $$
DECLARE
    row_column text := TG_ARGV[0];
    key_column text := TG_ARGV[1];
    changed bigint;
    last bigint;
    first_of_command bigint;
    changed_at timestamp(3) := clock_timestamp() AT TIME ZONE 'UTC';
BEGIN
    IF TG_OP = 'INSERT' THEN
        SELECT count(*) INTO changed FROM new_rows;
    ELSIF TG_OP = 'DELETE' THEN
        SELECT count(*) INTO changed FROM old_rows;
    ELSE
        SELECT count(*) INTO changed
          FROM old_rows o JOIN new_rows n ON to_jsonb(o) -> key_column = to_jsonb(n) -> key_column
         WHERE to_jsonb(o) - 'entry' IS DISTINCT FROM to_jsonb(n) - 'entry';
    END IF;
    IF changed = 0 THEN
        RETURN NULL;
    END IF;
    UPDATE change_counter SET revision = revision + changed RETURNING revision INTO last;
    first_of_command := nullif(current_setting('helvarine.command', true), '')::bigint;
    IF first_of_command IS NULL THEN
        first_of_command := last - changed + 1;
        PERFORM set_config('helvarine.command', first_of_command::text, true);
    END IF;
    IF TG_OP = 'INSERT' THEN
        INSERT INTO changes
        SELECT last - changed + row_number() OVER (ORDER BY r.j -> key_column), TG_TABLE_NAME,
               r.j ->> row_column, 'insert', changed_at, session_user, first_of_command, NULL,
               r.j - 'entry'
          FROM (SELECT to_jsonb(n) AS j FROM new_rows n) r;
    ELSIF TG_OP = 'DELETE' THEN
        INSERT INTO changes
        SELECT last - changed + row_number() OVER (ORDER BY r.j -> key_column), TG_TABLE_NAME,
               r.j ->> row_column, 'delete', changed_at, session_user, first_of_command,
               r.j - 'entry', NULL
          FROM (SELECT to_jsonb(o) AS j FROM old_rows o) r;
    ELSE
        INSERT INTO changes
        SELECT last - changed + row_number() OVER (ORDER BY p.n -> key_column), TG_TABLE_NAME,
               p.n ->> row_column, 'update', changed_at, session_user, first_of_command,
               (SELECT jsonb_object_agg(a.key, a.value)
                  FROM jsonb_each(p.o - 'entry') a JOIN jsonb_each(p.n - 'entry') b USING (key)
                 WHERE a.value IS DISTINCT FROM b.value),
               (SELECT jsonb_object_agg(b.key, b.value)
                  FROM jsonb_each(p.o - 'entry') a JOIN jsonb_each(p.n - 'entry') b USING (key)
                 WHERE a.value IS DISTINCT FROM b.value)
          FROM (SELECT to_jsonb(o) AS o, to_jsonb(n) AS n
                  FROM old_rows o JOIN new_rows n
                    ON to_jsonb(o) -> key_column = to_jsonb(n) -> key_column) p
         WHERE p.o - 'entry' IS DISTINCT FROM p.n - 'entry';
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

-- The schema's version, which the program reads to tell an administrator what to apply.
CREATE OR REPLACE FUNCTION helvarine_schema_version() RETURNS integer
    LANGUAGE sql IMMUTABLE PARALLEL SAFE AS 'SELECT 2';

COMMIT;
