#!/usr/bin/env bash
# Creates the sample ERP and PDV databases at the tool's default paths, from the same DDL and row
# files the tests use. A database already at one of those paths is somebody's data: it is left
# exactly as it is.
set -euo pipefail
cd "$(dirname "$0")/.."
fixtures="$PWD/tests/fixtures"

erp_files=(schema.sql keys.sql cleanup-base.sql cleanup-docs.sql establishment-removal.sql location-99.sql user-removal.sql sample.sql)
pdv_files=(schema.sql keys.sql cleanup-base.sql)

create() {
    local path=$1; shift
    if [ -e "$path" ]; then
        echo "make-sample-databases: $path já existe; deixado como está."
        return 0
    fi
    mkdir -p "$(dirname "$path")"
    local script
    script=$(mktemp)
    # Rows of every file first, then the rows their links point at where a file left them out,
    # then the links themselves: the files were written one operation at a time.
    {
        echo "SET SQL DIALECT 3;"
        echo "CREATE DATABASE '$path' USER 'SYSDBA' PASSWORD 'vlemtrasq' PAGE_SIZE 8192 DEFAULT CHARACTER SET WIN1252;"
        for f in "$@"; do
            grep -v 'FOREIGN KEY' "$fixtures/$f"
            echo "COMMIT;"
        done
        (cd "$fixtures" && grep -h 'FOREIGN KEY' "$@") | sed -E \
            's/^ALTER TABLE ([A-Z0-9_]+) ADD CONSTRAINT [A-Z0-9_]+ FOREIGN KEY \(([A-Z0-9_]+)\) REFERENCES ([A-Z0-9_]+) \(([A-Z0-9_]+)\)[^;]*;.*/INSERT INTO \3 (\4) SELECT DISTINCT \2 FROM \1 WHERE \2 IS NOT NULL AND \2 NOT IN (SELECT \4 FROM \3);/'
        echo "COMMIT;"
        (cd "$fixtures" && grep -h 'FOREIGN KEY' "$@")
        echo "COMMIT;"
    } >"$script"
    if ! isql-fb -q -b -ch UTF8 -i "$script"; then
        rm -f "$script" "$path"
        echo "make-sample-databases: falha ao criar $path" >&2
        return 1
    fi
    rm -f "$script"
    echo "make-sample-databases: criado $path"
}

create "$HOME/KEMB/VORNIX/BD/VORNIX.FDB" "${erp_files[@]}"
create "$HOME/KEMB/PDV/BD/PDV.FDB" "${pdv_files[@]}"
