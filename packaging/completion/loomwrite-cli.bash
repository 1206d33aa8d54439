# bash completion for loomwrite-cli                          -*- shell-script -*-
#
# The commands, subcommands, options and the values an option lists
# ("--format bin|hex|srec") are read from the tool's own --help, so a new
# command completes without an edit here. Part and option-bit names come
# from 'loomwrite-cli parts', adapter places from 'loomwrite-cli adapters',
# and files are offered by the extensions the tool loads.

# The tool's --help, asked once per shell and tool.
_loomwrite_cli_help()
{
    local tool=$1
    if [[ ${_loomwrite_cli_help_of-} != "$tool" ]]; then
        _loomwrite_cli_help_text=$(LC_ALL=C "$tool" --help 2>/dev/null)
        _loomwrite_cli_help_of=$tool
    fi
    printf '%s\n' "$_loomwrite_cli_help_text"
}

# The command lines: indented by exactly two spaces, after the usage line
# and before the first line that is not indented.
_loomwrite_cli_command_lines()
{
    _loomwrite_cli_help "$1" | awk 'NR == 1 { next } /^[^ ]/ { exit } /^  [a-z]/ { print }'
}

# Commands, or the subcommands of one ("kpj save", "gang program"; a line
# may name several as "gang erase|blank-check").
_loomwrite_cli_commands()
{
    _loomwrite_cli_command_lines "$1" | awk '{ print $1 }' | sort -u
}

_loomwrite_cli_subcommands()
{
    _loomwrite_cli_command_lines "$1" |
        awk -v c="$2" '$1 == c && $2 ~ /^[a-z][a-z|-]*$/ { n = split($2, s, "|"); for (i = 1; i <= n; i++) print s[i] }' |
        sort -u
}

_loomwrite_cli_options()
{
    _loomwrite_cli_help "$1" | grep -o -- '--[a-z][a-z-]*' | sort -u
}

# What --help writes after an option that takes a value: a placeholder
# ("NAME", "PATH|-") or the choices ("bin|hex|srec"); nothing for a flag.
_loomwrite_cli_value_of()
{
    _loomwrite_cli_help "$1" | grep -o -- "$2 [A-Za-z0-9|,.-]*" |
        awk '$2 ~ /^[A-Z]/ || $2 ~ /[|]/ { print $2; exit }'
}

_loomwrite_cli_parts()
{
    "$1" parts 2>/dev/null | awk '$2 == "index" { print $1 }'
}

_loomwrite_cli_option_bits()
{
    "$1" parts 2>/dev/null | awk '$2 == "byte" && $4 == "mask" { print $1 }' | sort -u
}

_loomwrite_cli_places()
{
    "$1" adapters 2>/dev/null | awk 'NR > 1 && $1 ~ /:/ { print $1 }'
}

# Files the tool loads, and directories to find them in.
_loomwrite_cli_code_files()
{
    _filedir '@(hex|bin|kpj|elf|axf|srec|s19|s28|s37|mot|HEX|BIN|KPJ|ELF|AXF|SREC|S19|S28|S37|MOT)'
}

_loomwrite_cli()
{
    local cur prev words cword
    _init_completion -n := || return
    local tool=${words[0]}

    # The command and its subcommand: the first words that are not options
    # or their values.
    local i word command="" sub="" value
    for ((i = 1; i < cword; i++)); do
        word=${words[i]}
        if [[ $word == -* ]]; then
            value=$(_loomwrite_cli_value_of "$tool" "$word")
            [[ -n $value && $value != -* ]] && ((i++))
            continue
        fi
        if [[ -z $command ]]; then
            command=$word
        elif [[ -z $sub && -n $(_loomwrite_cli_subcommands "$tool" "$command") ]]; then
            sub=$word
        fi
    done

    if [[ $prev == -* ]]; then
        value=$(_loomwrite_cli_value_of "$tool" "$prev")
        case $prev in
            --part)
                COMPREPLY=($(compgen -W "$(_loomwrite_cli_parts "$tool")" -- "$cur"))
                return ;;
            --option | --no-option)
                COMPREPLY=($(compgen -W "$(_loomwrite_cli_option_bits "$tool")" -- "$cur"))
                return ;;
            --adapter | --adapters)
                if [[ $cur == emulator:* ]]; then
                    local dir=${cur#emulator:}
                    COMPREPLY=($(compgen -d -P emulator: -- "$dir"))
                    compopt -o nospace
                else
                    COMPREPLY=($(compgen -W "usb emulator: $(_loomwrite_cli_places "$tool")" -- "$cur"))
                    [[ ${COMPREPLY[0]-} == *: ]] && compopt -o nospace
                fi
                __ltrim_colon_completions "$cur"
                return ;;
        esac
        case $value in
            "") ;;
            *[a-z]\|[a-z]*)
                COMPREPLY=($(compgen -W "${value//|/ }" -- "$cur"))
                return ;;
            FILE* | OUT* | PATH*)
                _filedir
                return ;;
            DIR*)
                _filedir -d
                return ;;
            *)
                return ;;  # a number, an address, a text
        esac
    fi

    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$(_loomwrite_cli_options "$tool")" -- "$cur"))
        return
    fi
    if [[ -z $command ]]; then
        COMPREPLY=($(compgen -W "$(_loomwrite_cli_commands "$tool")" -- "$cur"))
        return
    fi
    local subs
    subs=$(_loomwrite_cli_subcommands "$tool" "$command")
    if [[ -n $subs && -z $sub ]]; then
        COMPREPLY=($(compgen -W "$subs" -- "$cur"))
        return
    fi
    case $command in
        parts | adapters | firmware | check-update) ;;
        emulator) _filedir -d ;;
        *) _loomwrite_cli_code_files ;;
    esac
} &&
    complete -F _loomwrite_cli loomwrite-cli

# ex: filetype=sh
